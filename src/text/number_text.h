// Numbers as text without the C locale: general and fixed notation, and the lenient reading
// that accepts a comma as the decimal point.
#pragma once

#include "platform/exception.h"

#include <optional>
#include <string_view>

// A text that is not a number: "'%s' is not a valid floating point value".
class EConvertError : public EUserError {
public:
    using EUserError::EUserError;
};

// General notation (like printf "%.*g"): at most `digits` significant digits, trailing zeros
// dropped, exponent only for very small or large magnitudes; `separator` as decimal point.
AnsiString FormatGeneral(double value, int digits, char separator);
AnsiString FormatGeneral(long double value, int digits, char separator);
// Fixed notation with `decimals` digits after the point (printf "%.*f").
AnsiString FormatFixed(double value, int decimals, char separator);

// Reads a decimal number after replacing every ',' with '.'; surrounding blanks are allowed.
// nullopt for anything else (empty text, trailing garbage, infinities, NaN).
std::optional<double> TryParseNumber(std::string_view text);
// The same, failing with EConvertError and the standard conversion message.
double ParseNumber(std::string_view text);

// ASCII helpers shared by the coordinate code.
std::string_view TrimView(std::string_view text);
AnsiString Trim(std::string_view text);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
