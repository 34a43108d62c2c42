// The import wizards' dialog.
#include "ui/wizard_dialog.h"

#include "ui/wizard_layout.h"

#include <QCloseEvent>

void TWizardDialog::done(int result) {
    if (m_running)
        return;
    QDialog::done(result);
}

void TWizardDialog::reject() {
    if (m_running)
        return;
    QDialog::reject();
}

void TWizardDialog::closeEvent(QCloseEvent* event) {
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TWizardDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centered)
        return;
    m_centered = true;
    CentreOnScreen(*this);
}
