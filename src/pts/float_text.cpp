// The invariant decimal number form of point files.
#include "pts/float_text.h"

#include <charconv>
#include <cmath>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

void RaiseFloatConversionError(std::string_view text) {
    throw EConvertError("'" + AnsiString(text) + "' is not a valid floating point value");
}

bool TryInvariantTextToFloat(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    // Check the grammar ourselves: from_chars also takes "inf", "nan" and hexadecimal forms.
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;

    double parsed = 0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + n;
    auto [end, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

double InvariantTextToFloat(std::string_view text) {
    double value = 0;
    if (!TryInvariantTextToFloat(text, value))
        RaiseFloatConversionError(text);
    return value;
}

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}
