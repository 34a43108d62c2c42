#include "ui/gui/number_edit.h"

#include "platform/gui/qt_text.h"
#include "platform/locale.h"
#include "text/number_text.h"

#include <cmath>

TNumberEdit::TNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TNumberEdit::SetValue(double value) {
    setText(ToQString(FormatGeneral(value, 15, DecimalSeparator())));
}

double TNumberEdit::Value() const {
    return RoundFraction14(ReadDecimalOrRaise(FromQString(text()), kPointOrCommaForm));
}

double RoundFraction14(double value) {
    // Beyond 2^52 a double has no fractional part left to round.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0)
        return value;
    const double whole = std::trunc(value);
    const long double fraction = static_cast<long double>(value) - whole;
    return whole + static_cast<double>(std::nearbyint(fraction * 1e14L) / 1e14L);
}
