// A field for a real number: "," or "." as the decimal point, negative values allowed. The
// text is read when the dialog confirms, so a text that is not a number fails there.
#pragma once

#include <QLineEdit>

class TNumberEdit final : public QLineEdit {
public:
    explicit TNumberEdit(QWidget* parent = nullptr);

    // Shows the value in general notation (15 significant digits, the user's separator).
    void SetValue(double value);
    // The number in the text, its fractional part rounded to 14 decimal places. Fails with
    // EConvertError "'%s' is not a valid floating point value" for any other text.
    [[nodiscard]] double Value() const;
};

// The rounding the number fields apply: the fractional part to 14 decimal places, so that a
// value typed as 0.1 does not carry the binary tail of its last digits.
[[nodiscard]] double RoundFraction14(double value);
