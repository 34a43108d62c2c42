// Numbers as text without the C locale.
#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

AnsiString WithSeparator(const char* begin, const char* end, char separator) {
    AnsiString text(begin, end);
    if (separator != '.')
        for (char& c : text)
            if (c == '.')
                c = separator;
    return text;
}

// from_chars on an unsigned number that the grammar has already checked.
std::optional<double> Convert(const char* first, const char* last) {
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

void RaiseConvertError(std::string_view text) {
    throw EConvertError("'" + AnsiString(text) + "' is not a valid floating point value", text);
}

std::optional<double> ReadDecimal(std::string_view text, TDecimalForm form) {
    std::size_t i = 0;
    std::size_t n = text.size();
    const auto blank = [&](char c) {
        return c == ' ' || (form.controlsAreBlanks && static_cast<unsigned char>(c) < 32);
    };
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // Checked here rather than left to from_chars, which also takes "inf", "nan" and more.
    const std::size_t start = i;
    std::size_t digits = 0;
    std::size_t point = std::string_view::npos;
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsDigit(c))
            ++digits;
        else if (point == std::string_view::npos && (c == '.' || (form.commaIsPoint && c == ',')))
            point = i;
        else
            break;
    }
    const bool lonePoint = digits == 0 && point != std::string_view::npos;
    if (digits == 0 && !(lonePoint && form.lonePointIsZero))
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    std::optional<double> value;
    if (lonePoint) {
        value = 0.0;
    } else if (point != std::string_view::npos && text[point] == ',') {
        std::string number(text.substr(start, n - start));
        number[point - start] = '.';
        value = Convert(number.data(), number.data() + number.size());
    } else {
        value = Convert(text.data() + start, text.data() + n);
    }
    if (value && negative)
        *value = -*value;
    return value;
}

double ReadDecimalOrRaise(std::string_view text, TDecimalForm form) {
    const std::optional<double> value = ReadDecimal(text, form);
    if (!value)
        RaiseConvertError(text);
    return *value;
}

std::optional<std::int32_t> ReadRuntimeInteger(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = hex ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (!hex && magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    // Hexadecimal digits give the 32-bit pattern; the sign then negates it, wrapping like the
    // runtime does.
    const std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

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
