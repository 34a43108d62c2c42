#include "ui/gui/angle_edit.h"

#include "platform/gui/qt_text.h"
#include "platform/locale.h"
#include "text/number_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>

#include <cmath>
#include <numbers>

namespace {

// Sign, three digits of degrees, two of minutes, two of seconds with two decimals; free places
// are blanks.
const char* const kDmsMask = "#000°00'00.00\"; ";

[[noreturn]] void NotANumber() {
    throw EConvertError(Ansi("Введенное значение не является числом"), {});
}

double ReadNumber(const QString& text) {
    const auto value = ReadDecimal(FromQString(text), kPointOrCommaForm);
    if (!value)
        NotANumber();
    return *value;
}

} // namespace

QString FormatDegreesMinutesSeconds(double degrees) {
    const bool negative = degrees < 0;
    // Whole hundredths of a second, so that rounding carries into minutes and degrees.
    long long hundredths = std::llround(std::fabs(degrees) * 360000.0);
    const long long d = hundredths / 360000;
    hundredths %= 360000;
    const long long m = hundredths / 6000;
    hundredths %= 6000;
    return QString::asprintf("%c%03lld\u00B0%02lld'%02lld.%02lld\"", negative ? '-' : ' ', d, m,
                             hundredths / 100, hundredths % 100);
}

double ParseDegreesMinutesSeconds(const QString& text) {
    // The mask's literals split the fields; free places are blanks or '_'.
    QString plain = text;
    plain.replace(QLatin1Char('_'), QLatin1Char(' '));
    static const QRegularExpression form(QStringLiteral(
        "^\\s*([-+]?)\\s*(\\d*)\\s*\u00B0\\s*(\\d*)\\s*'\\s*(\\d*)\\s*(?:[.,]\\s*(\\d*))?"
        "\\s*\"?\\s*$"));
    const auto match = form.match(plain);
    if (!match.hasMatch() || match.captured(2).isEmpty())
        NotANumber();
    const double d = match.captured(2).toDouble();
    const double m = match.captured(3).isEmpty() ? 0.0 : match.captured(3).toDouble();
    double s = match.captured(4).isEmpty() ? 0.0 : match.captured(4).toDouble();
    const QString fraction = match.captured(5);
    if (!fraction.isEmpty())
        s += (QStringLiteral("0.") + fraction).toDouble();
    const double degrees = d + m / 60.0 + s / 3600.0;
    return match.captured(1) == QStringLiteral("-") ? -degrees : degrees;
}

TAngleEdit::TAngleEdit(QWidget* parent)
    : QWidget(parent), m_unit(new QComboBox(this)), m_text(new QLineEdit(this)) {
    m_unit->setObjectName(QStringLiteral("AngleUnitComboBox"));
    m_text->setObjectName(QStringLiteral("AngleTextEdit"));
    m_unit->addItem(QtText("Градусы"));
    m_unit->addItem(QtText("Градусы (дес.)"));
    m_unit->addItem(QtText("Радианы"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_unit);
    setFocusProxy(m_text);
    m_text->setInputMask(QString::fromUtf8(kDmsMask));
    // Room for the longest text of the mask whatever the font and the screen's resolution.
    m_text->setMinimumWidth(
        m_text->fontMetrics().horizontalAdvance(FormatDegreesMinutesSeconds(-359.999)) +
        m_text->fontMetrics().averageCharWidth() * 3);
    ShowInUnit(0.0);
    connect(m_unit, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetUnit(static_cast<TUnit>(index)); });
}

TAngleEdit::TUnit TAngleEdit::Unit() const {
    return m_shownUnit;
}

void TAngleEdit::SetUnit(TUnit unit) {
    if (unit == m_shownUnit)
        return;
    double radians = 0.0;
    bool readable = true;
    try {
        radians = Angle();
    } catch (const EConvertError&) {
        readable = false;
    }
    m_shownUnit = unit;
    {
        const QSignalBlocker block(m_unit);
        m_unit->setCurrentIndex(static_cast<int>(unit));
    }
    m_text->setInputMask(unit == TUnit::DegreesMinutesSeconds ? QString::fromUtf8(kDmsMask)
                                                              : QString());
    if (readable)
        ShowInUnit(radians);
    else
        m_text->clear();
}

void TAngleEdit::SetAngle(double radians) {
    ShowInUnit(radians);
}

void TAngleEdit::ShowInUnit(double radians) {
    const double degrees = radians * 180.0 / std::numbers::pi;
    switch (m_shownUnit) {
    case TUnit::DegreesMinutesSeconds:
        m_text->setText(FormatDegreesMinutesSeconds(degrees));
        break;
    case TUnit::DecimalDegrees:
        m_text->setText(ToQString(FormatGeneral(degrees, 15, DecimalSeparator())));
        break;
    case TUnit::Radians:
        m_text->setText(ToQString(FormatGeneral(radians, 15, DecimalSeparator())));
        break;
    }
}

double TAngleEdit::Angle() const {
    switch (m_shownUnit) {
    case TUnit::DegreesMinutesSeconds:
        return ParseDegreesMinutesSeconds(m_text->text()) * std::numbers::pi / 180.0;
    case TUnit::DecimalDegrees:
        return ReadNumber(m_text->text()) * std::numbers::pi / 180.0;
    case TUnit::Radians:
        break;
    }
    return ReadNumber(m_text->text());
}
