// Numbers of PTS, SDR and RPT files: the invariant decimal form (point as decimal separator,
// no thousands separator), whatever the user's locale.
#pragma once

#include "coords/number_text.h"

#include <string_view>

// The runtime's conversion error naming the text: "'<text>' is not a valid floating point
// value" (EConvertError).
[[noreturn]] void RaiseFloatConversionError(std::string_view text);

// Reads an optional sign, decimal digits with an optional "." fraction and an optional
// exponent ("E" or "e", optional sign, digits). Spaces (code 32) around the number are
// allowed, nothing else. False for any other text, an empty one, or a value out of range.
[[nodiscard]] bool TryInvariantTextToFloat(std::string_view text, double& value);

// As above; raises EConvertError naming the text as given.
[[nodiscard]] double InvariantTextToFloat(std::string_view text);

// Removes leading and trailing characters with codes 0 to 32.
[[nodiscard]] std::string_view TrimControls(std::string_view text);
