// The frame every import wizard is: a stack of pages above a row of back, next and close
// buttons, page changes that update the buttons, wizard actions whose errors are shown in a
// box while the wizard stays where it is, and a run during which the wizard cannot be closed
// (Esc, the close box, done and reject wait for it). Centred on its screen when first shown.
#pragma once

#include <QDialog>

#include <functional>

class QPushButton;
class QStackedWidget;

class TWizardDialog : public QDialog {
public:
    explicit TWizardDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    // True while a run is going on.
    [[nodiscard]] bool Running() const { return m_running; }
    [[nodiscard]] int CurrentPage() const;

    // Ignored while a run is active.
    void done(int result) override;
    void reject() override;

protected:
    // The object names and the close button's caption of a wizard's frame.
    struct TFrameNames {
        const char* prev;
        const char* next;
        const char* close;
        const char* closeCaption;
    };

    // Builds the frame: the page stack "PageControl" (filled with AddPage), the buttons with the
    // names given, laid out below it; back and next run Prev and Next guarded, close rejects.
    void BuildFrame(const TFrameNames& names);
    void AddPage(QWidget* page);
    QStackedWidget* Pages() const { return m_pages; }
    QPushButton* PrevButton() const { return m_prev; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* CloseButton() const { return m_close; }

    // Shows the page and updates the buttons; a wizard that acts on a change of page overrides
    // it and calls this.
    virtual void ShowPage(int page);
    // Back is shown past the first page only; next reads "Импорт" on the last page and "Далее >"
    // elsewhere.
    virtual void UpdateButtons();
    virtual void Next() = 0;
    // The page before, if any.
    virtual void Prev();

    // Runs a wizard action; its error is shown in an error box and the wizard stays as it is.
    void Guarded(const std::function<void()>& action);
    // Runs the wizard's member action, guarded, whenever the control's signal fires.
    template <class Control, class Signal, class Wizard>
    void OnSignal(Control* control, Signal signal, void (Wizard::*action)()) {
        auto* wizard = static_cast<Wizard*>(this);
        connect(control, signal, this,
                [this, wizard, action] { Guarded([wizard, action] { (wizard->*action)(); }); });
    }
    // Runs `run` as the wizard's run: the wizard cannot be closed and its navigation is
    // disabled until it ends, also by an error, which then propagates.
    void RunBusy(const std::function<void()>& run);
    // The buttons that move or close; wizards add the controls a run must not see change.
    virtual void EnableNavigation(bool enabled);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QStackedWidget* m_pages = nullptr;
    QPushButton* m_prev = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_close = nullptr;
    bool m_running = false;
    bool m_centered = false;
};
