// The dialogs that edit one step of an affine chain: translation, scaling and shear with two
// number fields, rotation with an angle field.
#pragma once

#include "coords/transform_data.h"

#include <QDialog>

class QPushButton;
class TAngleEdit;
class TNumberEdit;

// Two values of a step, labelled "По Х:" and "По Y:". OK reads both fields; a text that is not
// a number is reported through the interaction service and the dialog stays open.
class TTransformPairDialog final : public QDialog {
public:
    TTransformPairDialog(const QString& caption, double x, double y, QWidget* owner);

    // The values read when the dialog was confirmed.
    [[nodiscard]] double X() const { return m_x; }
    [[nodiscard]] double Y() const { return m_y; }

    void accept() override;

private:
    TNumberEdit* m_xEdit;
    TNumberEdit* m_yEdit;
    double m_x, m_y;
};

// The angle of a rotation, in radians in and out; the unit is the user's choice.
class TTransformRotationDialog final : public QDialog {
public:
    TTransformRotationDialog(double angle, QWidget* owner);

    [[nodiscard]] double Angle() const { return m_angle; }

    void accept() override;

private:
    TAngleEdit* m_angleEdit;
    double m_angle;
};

// Opens the modal dialog of the item's kind, owned by `owner`; the rotation dialog is centred
// over the owner. On OK the values go into the item through its setters and the result is true;
// on Cancel the item is unchanged.
bool EditTransformItem(TTransformItem& item, QWidget* owner);
