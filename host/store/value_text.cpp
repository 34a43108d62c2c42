#include "value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kavrohost {

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian), after H. Hinnant.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// 1899-12-30, day 0 of OLE dates, counted from 1970-01-01.
constexpr std::int64_t kOleEpoch = -25569;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool ReadUInt(std::string_view& s, std::size_t digits, unsigned& out) {
    if (s.size() < digits)
        return false;
    out = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        out = out * 10 + static_cast<unsigned>(s[i] - '0');
    }
    s.remove_prefix(digits);
    return true;
}

bool Expect(std::string_view& s, char c) {
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

bool ValidDate(unsigned y, unsigned m, unsigned d) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

} // namespace

std::string OleDateToText(double date) {
    double dayPart = std::floor(date);
    // OLE dates before day 0 keep the time as a positive fraction of the (negative) day.
    double fraction = std::fabs(date - static_cast<double>(static_cast<std::int64_t>(date)));
    std::int64_t days = static_cast<std::int64_t>(date < 0 ? std::ceil(date) : dayPart);
    std::int64_t y;
    unsigned m, d;
    CivilFromDays(days + kOleEpoch, y, m, d);
    long seconds = std::lround(fraction * 86400.0);
    if (seconds >= 86400)
        seconds = 86399;
    char buf[48];
    if (seconds == 0)
        std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
    else
        std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02ld:%02ld:%02ld",
                      static_cast<long long>(y), m, d, seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    return buf;
}

std::optional<double> TextToOleDate(std::string_view text) {
    std::string_view s = Trim(text);
    unsigned y = 0, m = 0, d = 0;
    std::string_view probe = s;
    if (ReadUInt(probe, 4, y) && Expect(probe, '-')) {
        if (!ReadUInt(probe, 2, m) || !Expect(probe, '-') || !ReadUInt(probe, 2, d))
            return std::nullopt;
    } else {
        probe = s;
        if (!ReadUInt(probe, 2, d) || !Expect(probe, '.') || !ReadUInt(probe, 2, m) ||
            !Expect(probe, '.') || !ReadUInt(probe, 4, y))
            return std::nullopt;
    }
    if (!ValidDate(y, m, d))
        return std::nullopt;
    unsigned hh = 0, mm = 0, ss = 0;
    if (!probe.empty()) {
        if (probe.front() != ' ' && probe.front() != 'T')
            return std::nullopt;
        probe.remove_prefix(1);
        if (!ReadUInt(probe, 2, hh) || !Expect(probe, ':') || !ReadUInt(probe, 2, mm))
            return std::nullopt;
        if (!probe.empty() && (!Expect(probe, ':') || !ReadUInt(probe, 2, ss)))
            return std::nullopt;
        if (!probe.empty() || hh > 23 || mm > 59 || ss > 59)
            return std::nullopt;
    }
    double days = static_cast<double>(DaysFromCivil(y, m, d) - kOleEpoch);
    double fraction = (hh * 3600.0 + mm * 60.0 + ss) / 86400.0;
    // Before day 0 the fraction counts away from zero, as OLE dates do.
    return days < 0 ? days - fraction : days + fraction;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    std::string_view s = Trim(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view text) {
    std::string s(Trim(text));
    for (char& c : s)
        if (c == ',')
            c = '.';
    std::string_view v = s;
    if (!v.empty() && v.front() == '+')
        v.remove_prefix(1);
    double value = 0;
    auto [end, ec] =
        std::from_chars(v.data(), v.data() + v.size(), value, std::chars_format::general);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatDouble(double value) {
    char buf[400];
    // Plain digits for the magnitudes of coordinates and measures, exponents only beyond.
    double magnitude = std::fabs(value);
    auto format = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e15)
                      ? std::chars_format::fixed
                      : std::chars_format::general;
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, format);
    return ec == std::errc() ? std::string(buf, end) : std::string("nan");
}

} // namespace kavrohost
