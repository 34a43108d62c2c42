#include "coords/gui/transform_item_dialogs.h"

#include "platform/gui/qt_text.h"
#include "text/number_text.h"
#include "ui/gui/angle_edit.h"
#include "ui/gui/number_edit.h"
#include "ui/user_interaction.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The common frame: the fields' form above a right-aligned row of "ОК" and "Отмена".
QFormLayout* SetUpDialog(QDialog& dialog, const char* objectName, const QString& caption) {
    dialog.setObjectName(QString::fromLatin1(objectName));
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog.setModal(true);

    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addLayout(form);
    layout->addSpacing(dialog.style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QtText("ОК"), &dialog);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QtText("Отмена"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return form;
}

QLabel* FieldLabel(QDialog& dialog, const char* objectName, const char* caption, QWidget* field) {
    auto* label = new QLabel(QtText(caption), &dialog);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setBuddy(field);
    return label;
}

// Reports a text that cannot be read and puts the caret back into its field.
void ReportConversionError(const EConvertError& error, QLineEdit* field) {
    UserInteraction().ShowError(error.Message());
    field->setFocus();
    field->selectAll();
}

// Runs the dialog modally and hands it to `read` when it was confirmed. The dialog lives on the
// heap: its owner may be destroyed while it runs (the add-on frees the forms still open when the
// host finalizes it), and then it goes with its owner and counts as cancelled.
template <class TDialog, class TRead> bool RunDialog(TDialog* dialog, TRead read) {
    const QPointer<TDialog> alive(dialog);
    const bool confirmed = dialog->exec() == QDialog::Accepted;
    if (!alive)
        return false;
    if (confirmed)
        read(*dialog);
    delete dialog;
    return confirmed;
}

// Opens a two-value dialog and hands the confirmed values to `write`.
template <class TWrite>
bool EditPair(QWidget* owner, const char* objectName, const char* caption, double x, double y,
              TWrite write) {
    auto* dialog = new TTransformPairDialog(QtText(caption), x, y, owner);
    dialog->setObjectName(QString::fromLatin1(objectName));
    return RunDialog(dialog, [&](TTransformPairDialog& d) { write(d.X(), d.Y()); });
}

} // namespace

TTransformPairDialog::TTransformPairDialog(const QString& caption, double x, double y,
                                           QWidget* owner)
    : QDialog(owner), m_xEdit(new TNumberEdit(this)), m_yEdit(new TNumberEdit(this)), m_x(x),
      m_y(y) {
    QFormLayout* form = SetUpDialog(*this, "TransformPairDialog", caption);
    m_xEdit->setObjectName(QStringLiteral("XEdit"));
    m_yEdit->setObjectName(QStringLiteral("YEdit"));
    m_xEdit->SetValue(x);
    m_yEdit->SetValue(y);
    // Room for fifteen significant digits with sign, point and exponent.
    const int width =
        m_xEdit->fontMetrics().horizontalAdvance(QStringLiteral("-0.00000000000000e-000"));
    m_xEdit->setMinimumWidth(width);
    m_yEdit->setMinimumWidth(width);
    form->addRow(FieldLabel(*this, "XLabel", "По Х:", m_xEdit), m_xEdit);
    form->addRow(FieldLabel(*this, "YLabel", "По Y:", m_yEdit), m_yEdit);
}

void TTransformPairDialog::accept() {
    double x = 0, y = 0;
    try {
        x = m_xEdit->Value();
    } catch (const EConvertError& e) {
        ReportConversionError(e, m_xEdit);
        return;
    }
    try {
        y = m_yEdit->Value();
    } catch (const EConvertError& e) {
        ReportConversionError(e, m_yEdit);
        return;
    }
    m_x = x;
    m_y = y;
    QDialog::accept();
}

TTransformRotationDialog::TTransformRotationDialog(double angle, QWidget* owner)
    : QDialog(owner), m_angleEdit(new TAngleEdit(this)), m_angle(angle) {
    QFormLayout* form = SetUpDialog(*this, "RotationDialog", QtText("Поворот"));
    m_angleEdit->setObjectName(QStringLiteral("AngleEdit"));
    m_angleEdit->SetAngle(angle);
    form->addRow(FieldLabel(*this, "AngleLabel", "Угол", m_angleEdit), m_angleEdit);
}

void TTransformRotationDialog::accept() {
    try {
        m_angle = m_angleEdit->Angle();
    } catch (const EConvertError& e) {
        ReportConversionError(e, m_angleEdit->TextField());
        return;
    }
    QDialog::accept();
}

bool EditTransformItem(TTransformItem& item, QWidget* owner) {
    if (auto* rotation = dynamic_cast<TTransformRotationItem*>(&item)) {
        auto* dialog = new TTransformRotationDialog(rotation->Angle(), owner);
        if (owner) {
            dialog->adjustSize();
            const QPoint centre = owner->mapToGlobal(owner->rect().center());
            dialog->move(centre - QPoint(dialog->width() / 2, dialog->height() / 2));
        }
        return RunDialog(dialog,
                         [&](TTransformRotationDialog& d) { rotation->SetAngle(d.Angle()); });
    }

    if (auto* t = dynamic_cast<TTransformTranslationItem*>(&item))
        return EditPair(owner, "TranslationDialog", "Смещение", t->OffsetX(), t->OffsetY(),
                        [t](double x, double y) {
                            t->SetOffsetX(x);
                            t->SetOffsetY(y);
                        });
    if (auto* s = dynamic_cast<TTransformScalingItem*>(&item))
        return EditPair(owner, "ScalingDialog", "Увел./Сжатие", s->ScaleX(), s->ScaleY(),
                        [s](double x, double y) {
                            s->SetScaleX(x);
                            s->SetScaleY(y);
                        });
    if (auto* h = dynamic_cast<TTransformShearItem*>(&item))
        return EditPair(owner, "ShearDialog", "Сдвиг", h->ShearX(), h->ShearY(),
                        [h](double x, double y) {
                            h->SetShearX(x);
                            h->SetShearY(y);
                        });
    return false;
}
