#include "coords/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {
AnsiString WithSeparator(const char* begin, const char* end, char separator) {
    AnsiString text(begin, end);
    if (separator != '.')
        for (char& c : text)
            if (c == '.')
                c = separator;
    return text;
}
} // namespace

AnsiString FormatGeneral(double value, int digits, char separator) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return WithSeparator(buffer, result.ptr, separator);
}

AnsiString FormatGeneral(long double value, int digits, char separator) {
    char buffer[96];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return WithSeparator(buffer, result.ptr, separator);
}

AnsiString FormatFixed(double value, int decimals, char separator) {
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return WithSeparator(buffer, result.ptr, separator);
}

std::optional<double> TryParseNumber(std::string_view text) {
    std::string normal(TrimView(text));
    for (char& c : normal)
        if (c == ',')
            c = '.';
    const char* begin = normal.data();
    const char* end = begin + normal.size();
    if (begin != end && *begin == '+')
        ++begin;
    if (begin == end || *begin == '+' || *begin == ' ')
        return std::nullopt;
    double value = 0;
    auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double ParseNumber(std::string_view text) {
    if (auto value = TryParseNumber(text))
        return *value;
    throw EConvertError("'" + AnsiString(text) + "' is not a valid floating point value");
}

std::string_view TrimView(std::string_view text) {
    // Blanks are everything up to the space, as the host's trimming treats them.
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

AnsiString Trim(std::string_view text) {
    return AnsiString(TrimView(text));
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}
