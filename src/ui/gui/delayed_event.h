// An event that fires once, a fixed time after the first trigger of a burst: triggers while it
// is pending change nothing. Filters use it so that typing does not refill a list per key.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class TDelayedEvent final : public QObject {
public:
    TDelayedEvent(int intervalMs, std::function<void()> handler, QObject* parent = nullptr);

    void Trigger();
    void Cancel();
    [[nodiscard]] bool IsPending() const { return m_timer.isActive(); }
    [[nodiscard]] int Interval() const { return m_timer.interval(); }

private:
    QTimer m_timer;
    std::function<void()> m_handler;
};
