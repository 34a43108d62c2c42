// The long-operation window's state machine.
#include "ui/long_operation.h"

#include "ui/user_interaction.h"

struct TLongOperations::TWindow {
    std::unique_ptr<ILongOperationView> view;
    AnsiString label;
    bool cancelled = false;

    void SetLabel(const AnsiString& text) {
        label = text;
        if (view)
            view->SetLabel(text);
    }
};

TLongOperations::TLongOperations(TViewFactory factory, TClock clock)
    : m_factory(std::move(factory)), m_clock(std::move(clock)) {
    if (!m_clock)
        m_clock = [] { return std::chrono::steady_clock::now(); };
}

TLongOperations::~TLongOperations() = default;

void TLongOperations::Start(bool cancellable, int flags) {
    if (!m_window) {
        m_window = std::make_unique<TWindow>();
        if (m_factory)
            m_window->view = m_factory();
    }
    if (m_window->view)
        m_window->view->SetCancellable(cancellable);
    m_flags = flags;
    m_labels.push_back(m_window->label);
    if (m_labels.size() == 1) {
        m_window->SetLabel({});
        m_window->cancelled = false;
        if (m_window->view) {
            m_window->view->StartAnimation();
            m_window->view->ShowAndRepaint();
        }
    }
}

void TLongOperations::SetText(const AnsiString& text) {
    if (text.empty() || !m_window || !Active())
        return;
    m_window->SetLabel(text);
    if (m_window->view)
        m_window->view->ShowAndRepaint();
    Pump();
}

void TLongOperations::SetFraction(double fraction) {
    if (m_window && Active() && m_window->view)
        m_window->view->SetFraction(fraction);
}

void TLongOperations::Pump() {
    const auto now = m_clock();
    if (m_lastPump && now - *m_lastPump <= std::chrono::milliseconds(500))
        return;
    m_lastPump = now;
    if (m_window && Active() && m_window->view)
        m_window->view->ShowAndRepaint();
    UserInteraction().ProcessMessages();
}

bool TLongOperations::Cancelled() const {
    return m_window && m_window->cancelled;
}

void TLongOperations::End() {
    if (m_labels.empty())
        return;
    AnsiString previous = std::move(m_labels.back());
    m_labels.pop_back();
    if (!m_labels.empty()) {
        if (m_window)
            m_window->SetLabel(previous);
        return;
    }
    if (m_window && m_window->view)
        m_window->view->StopAnimation();
    m_window.reset();
}

void TLongOperations::Terminate() {
    if (!m_window || m_window->cancelled)
        return;
    if (m_flags & kLongOperationCancelAtOnce) {
        m_window->cancelled = true;
        return;
    }
    if (UserInteraction().Confirm(Ansi("Операция будет прервана. Завершить?"),
                                  Ansi("Предупреждение")))
        m_window->cancelled = true;
}

const AnsiString& TLongOperations::LabelText() const {
    static const AnsiString kNone;
    return m_window ? m_window->label : kNone;
}

namespace {
TLongOperations& ModuleLongOperations() {
    static TLongOperations operations;
    return operations;
}
} // namespace

TLongOperations& LongOperations() {
    return ModuleLongOperations();
}

void SetLongOperationViewFactory(TLongOperations::TViewFactory factory) {
    ModuleLongOperations().SetViewFactory(std::move(factory));
}
