// A field for an angle with a choice of unit: degrees, minutes and seconds in a fixed mask,
// decimal degrees, or radians. It receives and returns the angle in radians.
#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

class TAngleEdit final : public QWidget {
public:
    enum class TUnit { DegreesMinutesSeconds = 0, DecimalDegrees = 1, Radians = 2 };

    explicit TAngleEdit(QWidget* parent = nullptr);

    void SetAngle(double radians);
    // The angle in radians. Fails with EConvertError "Введенное значение не является числом"
    // when the text cannot be read in the chosen unit.
    [[nodiscard]] double Angle() const;

    [[nodiscard]] TUnit Unit() const;
    // Shows the current angle in the new unit; an unreadable text is cleared.
    void SetUnit(TUnit unit);

    [[nodiscard]] QComboBox* UnitBox() const { return m_unit; }
    [[nodiscard]] QLineEdit* TextField() const { return m_text; }

private:
    void ShowInUnit(double radians);

    QComboBox* m_unit;
    QLineEdit* m_text;
    TUnit m_shownUnit = TUnit::DegreesMinutesSeconds;
};

// The degrees-minutes-seconds text in the mask's layout, e.g. "-045°30'15.25\"".
[[nodiscard]] QString FormatDegreesMinutesSeconds(double degrees);
// Degrees from that text; blank minutes and seconds count as 0. Fails with EConvertError
// "Введенное значение не является числом" when there are no degrees or the text has another form.
[[nodiscard]] double ParseDegreesMinutesSeconds(const QString& text);
