// Fixed-position fields of survey records.
#include "sdr/sub_string_info.h"

#include "pts/float_text.h"

#include <algorithm>
#include <limits>

namespace SDRReader {

namespace {
// The decimal rule after every comma has become a point.
bool TryDecimalWithCommas(std::string_view text, double& value) {
    if (text.find(',') == std::string_view::npos)
        return TryInvariantTextToFloat(text, value);
    AnsiString s(text);
    std::replace(s.begin(), s.end(), ',', '.');
    return TryInvariantTextToFloat(s, value);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool IsRuntimeInteger(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return false;
    // 32-bit range: up to FFFFFFFF in hexadecimal, the signed range in decimal.
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        int digit =
            hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0)
            return false;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    if (!hex) {
        const std::uint64_t limit =
            negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
        return value <= limit;
    }
    return true;
}

bool PassesNumberFieldRule(std::string_view stripped) {
    if (stripped.empty())
        return false;
    double unused = 0;
    return TryDecimalWithCommas(stripped, unused) || IsRuntimeInteger(stripped);
}

void TSubStringInfo::ParseValue(std::string_view text, bool& ok, TParsedValue& value) const {
    ok = true;
    if (m_kind != kFieldNumber) {
        value = AnsiString(text);
        return;
    }
    const std::string_view stripped = TrimControls(text);
    double number = 0;
    if (!stripped.empty() && TryDecimalWithCommas(stripped, number)) {
        value = number;
        return;
    }
    ok = !stripped.empty() && IsRuntimeInteger(stripped);
    if (ok) // passes only as a hexadecimal integer: the decimal conversion fails
        RaiseFloatConversionError(stripped);
    value = AnsiString(text);
}

void TSubStringInfo::ParseField(std::string_view line, bool& ok, TParsedValue& value) const {
    std::string_view cut;
    if (m_start >= 1 && static_cast<std::size_t>(m_start) <= line.size() && m_length > 0)
        cut =
            line.substr(static_cast<std::size_t>(m_start) - 1, static_cast<std::size_t>(m_length));
    ParseValue(cut, ok, value);
}

void AddSubStringDefinitions(TSubStringInfoList& list, std::int32_t firstStart,
                             std::initializer_list<TSubStringDef> definitions) {
    std::int32_t position = firstStart;
    for (const TSubStringDef& d : definitions) {
        if (d.length <= 0)
            throw EUserError("Invalid definition");
        std::int32_t start = d.start > 0 ? d.start : position;
        list.Add(std::make_unique<TSubStringInfo>(d.kind, start, d.length));
        position += d.length;
    }
}

} // namespace SDRReader
