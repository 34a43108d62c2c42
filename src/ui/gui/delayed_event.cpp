#include "ui/gui/delayed_event.h"

TDelayedEvent::TDelayedEvent(int intervalMs, std::function<void()> handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_handler)
            m_handler();
    });
}

void TDelayedEvent::Trigger() {
    if (!m_timer.isActive())
        m_timer.start();
}

void TDelayedEvent::Cancel() {
    m_timer.stop();
}
