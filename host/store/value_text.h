// Text forms of attribute values: OLE dates, numbers read and written without the C locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavrohost {

// "YYYY-MM-DD", with "THH:MM:SS" when the time of day is not midnight.
std::string OleDateToText(double date);
// Reads "YYYY-MM-DD[( |T)HH:MM[:SS]]" or "DD.MM.YYYY[ HH:MM[:SS]]"; nullopt when malformed.
std::optional<double> TextToOleDate(std::string_view text);
// A 64-bit integer in decimal, surrounded by optional blanks.
std::optional<std::int64_t> ParseInteger(std::string_view text);
// A decimal number with "." or "," as the decimal separator, surrounded by optional blanks.
std::optional<double> ParseDouble(std::string_view text);
// The shortest text that reads back as the same double.
std::string FormatDouble(double value);

} // namespace kavrohost
