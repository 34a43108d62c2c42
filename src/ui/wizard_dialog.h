// The dialog every import wizard is: centred on its screen when first shown, and not to be
// closed while one of its runs is active (Esc, the close box, done and reject wait for it).
#pragma once

#include <QDialog>

class TWizardDialog : public QDialog {
public:
    explicit TWizardDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    // True while a run is going on.
    [[nodiscard]] bool Running() const { return m_running; }

    // Ignored while a run is active.
    void done(int result) override;
    void reject() override;

protected:
    // The wizard marks its run; its start and close buttons are its own to disable.
    void SetRunning(bool running) { m_running = running; }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_running = false;
    bool m_centered = false;
};
