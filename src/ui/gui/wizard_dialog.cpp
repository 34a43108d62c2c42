// The import wizards' frame.
#include "ui/gui/wizard_dialog.h"

#include "platform/exception.h"
#include "platform/gui/qt_text.h"
#include "ui/gui/wizard_layout.h"
#include "ui/user_interaction.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QStackedWidget>

void TWizardDialog::BuildFrame(const TFrameNames& names) {
    m_pages = Named(new QStackedWidget(this), "PageControl");
    m_prev = MakeButton(names.prev, "< Назад", this);
    m_next = MakeButton(names.next, "Далее >", this);
    m_next->setDefault(true);
    m_close = MakeButton(names.close, names.closeCaption, this);
    LayOutWizard(*this, m_pages, m_prev, m_next, m_close);
    connect(m_prev, &QPushButton::clicked, this, [this] { Guarded([this] { Prev(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { Guarded([this] { Next(); }); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TWizardDialog::AddPage(QWidget* page) {
    m_pages->addWidget(page);
}

int TWizardDialog::CurrentPage() const {
    return m_pages ? m_pages->currentIndex() : -1;
}

void TWizardDialog::ShowPage(int page) {
    m_pages->setCurrentIndex(page);
    UpdateButtons();
}

void TWizardDialog::UpdateButtons() {
    const bool last = CurrentPage() == m_pages->count() - 1;
    m_prev->setVisible(CurrentPage() > 0);
    m_next->setText(last ? QtText("Импорт") : QtText("Далее >"));
}

void TWizardDialog::Prev() {
    if (CurrentPage() > 0)
        ShowPage(CurrentPage() - 1);
}

void TWizardDialog::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        UserInteraction().ShowError(ExceptionMessage(e));
    }
}

void TWizardDialog::RunBusy(const std::function<void()>& run) {
    if (m_running)
        return;
    m_running = true;
    EnableNavigation(false);
    struct TDone {
        TWizardDialog& wizard;
        ~TDone() {
            wizard.m_running = false;
            wizard.EnableNavigation(true);
        }
    } done{*this};
    run();
}

void TWizardDialog::EnableNavigation(bool enabled) {
    for (QPushButton* button : {m_prev, m_next, m_close})
        if (button)
            button->setEnabled(enabled);
}

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
