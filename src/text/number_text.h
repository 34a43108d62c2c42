// Numbers as text without the C locale: the decimal forms in which files and table cells hold
// numbers, the runtime's integer form, and general and fixed notation for showing numbers.
#pragma once

#include "platform/exception.h"

#include <cstdint>
#include <optional>
#include <string_view>

// A text that is not a number: "'%s' is not a valid floating point value".
class EConvertError : public EUserError {
public:
    EConvertError(AnsiString message, std::string_view text)
        : EUserError(std::move(message)), m_text(text) {}
    // The text that did not read as a number.
    const AnsiString& Text() const noexcept { return m_text; }

private:
    AnsiString m_text;
};

// Raises EConvertError naming the text as given.
[[noreturn]] void RaiseConvertError(std::string_view text);

// A decimal form. Every form allows blanks around the number, one sign "+" or "-", decimal
// digits with at most one decimal point among them, and an exponent ("E" or "e", optional sign,
// digits); there is no thousands separator, and infinities, NaN and hexadecimal forms are not
// numbers.
struct TDecimalForm {
    // A comma stands for the decimal point too.
    bool commaIsPoint = false;
    // A decimal point without any digit reads as 0.
    bool lonePointIsZero = false;
    // Blanks are all characters of codes 0 to 32, not only the space.
    bool controlsAreBlanks = false;
};

// Point, SDR and RPT files: the point is the decimal separator whatever the user's locale.
inline constexpr TDecimalForm kInvariantForm{};
// Fields that may be written with a decimal comma (SDR coordinates, coordinate-system texts).
inline constexpr TDecimalForm kPointOrCommaForm{true, false, true};
// Cells of the text import: a point or a comma, and a lone point is 0.
inline constexpr TDecimalForm kTableCellForm{true, true, false};

// The number; nothing for any other text, an empty one, or a value outside the double range.
[[nodiscard]] std::optional<double> ReadDecimal(std::string_view text,
                                                TDecimalForm form = kInvariantForm);
// The same; raises EConvertError naming the text as given.
[[nodiscard]] double ReadDecimalOrRaise(std::string_view text, TDecimalForm form = kInvariantForm);

// The runtime's 32-bit integer form: blanks before it, one optional sign, then decimal digits,
// or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow. A decimal value
// must fit the signed range; a hexadecimal one may use all 32 bits ("$FFFFFFFF" is -1).
[[nodiscard]] std::optional<std::int32_t> ReadRuntimeInteger(std::string_view text);

// General notation (like printf "%.*g"): at most `digits` significant digits, trailing zeros
// dropped, exponent only for very small or large magnitudes; `separator` as decimal point.
[[nodiscard]] AnsiString FormatGeneral(double value, int digits, char separator);
[[nodiscard]] AnsiString FormatGeneral(long double value, int digits, char separator);
// Fixed notation with `decimals` digits after the point (printf "%.*f").
[[nodiscard]] AnsiString FormatFixed(double value, int decimals, char separator);
