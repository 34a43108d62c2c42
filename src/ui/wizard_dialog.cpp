// The import wizards' dialog.
#include "ui/wizard_dialog.h"

#include <QCloseEvent>
#include <QScreen>

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
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
