// The long-operation window that a run shows while it works through files: the operations a
// run drives, and the window's state machine without its widgets.
#pragma once

#include "platform/codepage.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What a run drives. Cancellation is seen only where the run asks for it (between files, and
// every so many lines of a file).
class ILongOperation {
public:
    virtual ~ILongOperation() = default;
    virtual void Start(bool cancellable, int flags) = 0;
    virtual void SetText(const AnsiString& text) = 0;
    // How far the current step has come, 0 to 1; shown at the next repaint.
    virtual void SetFraction(double fraction) = 0;
    // Lets the application process pending window messages (at most twice a second).
    virtual void Pump() = 0;
    [[nodiscard]] virtual bool Cancelled() const = 0;
    virtual void End() = 0;
};

// The widgets of the window: the Qt form implements this; without one nothing is drawn.
class ILongOperationView {
public:
    virtual ~ILongOperationView() = default;
    // With cancellable the button panel is visible and its button enabled and focused.
    virtual void SetCancellable(bool cancellable) = 0;
    virtual AnsiString Label() const = 0;
    virtual void SetLabel(const AnsiString& text) = 0;
    // The bar of the current step, 0 to 1.
    virtual void SetFraction(double /*fraction*/) {}
    virtual void StartAnimation() = 0;
    virtual void StopAnimation() = 0;
    // Shows the window without making it modal, and repaints it.
    virtual void ShowAndRepaint() = 0;
};

// Bit 0 of the flags: the cancel button cancels without asking.
constexpr int kLongOperationCancelAtOnce = 1;

// The one long-operation window of the module: nested Start/End pairs keep a stack of label
// texts; the outermost Start shows the window and the matching End frees it.
class TLongOperations final : public ILongOperation {
public:
    using TViewFactory = std::function<std::unique_ptr<ILongOperationView>()>;
    using TClock = std::function<std::chrono::steady_clock::time_point()>;

    // Without a factory the window has no widgets (headless runs); the clock is for tests.
    explicit TLongOperations(TViewFactory factory = nullptr, TClock clock = nullptr);
    ~TLongOperations() override;

    void Start(bool cancellable, int flags) override;
    void SetText(const AnsiString& text) override;
    void SetFraction(double fraction) override;
    void Pump() override;
    bool Cancelled() const override;
    void End() override;

    // The cancel button: asks "Операция будет прервана. Завершить?" unless bit 0 of the flags
    // is set; does nothing once cancelled.
    void Terminate();
    // Used for windows created from now on.
    void SetViewFactory(TViewFactory factory) { m_factory = std::move(factory); }

    bool WindowExists() const { return m_window != nullptr; }
    bool Active() const { return !m_labels.empty(); }
    const AnsiString& LabelText() const;

private:
    struct TWindow;

    TViewFactory m_factory;
    TClock m_clock;
    std::unique_ptr<TWindow> m_window;
    std::vector<AnsiString> m_labels;
    int m_flags = 0;
    std::optional<std::chrono::steady_clock::time_point> m_lastPump;
};

// The module's long-operation window.
TLongOperations& LongOperations();
// Replaces the view factory of the module's window (the Qt form registers itself here).
void SetLongOperationViewFactory(TLongOperations::TViewFactory factory);
