// Answers modal dialogs from inside a test: the test queues what to do with the next dialog,
// then calls the code that opens it; the action runs from the event loop once the dialog shows.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Runs `action` on the first visible top-level widget with the object name (or on the active
// modal widget when the name is empty), polling the event loop for up to `timeoutMs`. The wait
// is long: on a loaded machine a dialog can take seconds to show, and a dialog whose answer
// was given up on stays modal and hangs the test.
inline void WhenShown(const char* objectName, std::function<void(QWidget*)> action,
                      int timeoutMs = 60000) {
    // Children of the application, so that CancelPendingAnswers finds the ones still waiting.
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setObjectName(QStringLiteral("WhenShownTimer"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* found = nullptr;
        if (!objectName || !*objectName) {
            found = QApplication::activeModalWidget();
        } else {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->objectName() == QLatin1String(objectName))
                    found = w;
        }
        if (found || clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            if (found)
                action(found);
        }
    });
    timer->start();
}

// Drops the answers still waiting for their dialog, so that none of them answers a dialog of a
// later test (the test main calls it after every test).
inline void CancelPendingAnswers() {
    if (!QCoreApplication::instance())
        return;
    for (QTimer* timer : QCoreApplication::instance()->findChildren<QTimer*>(
             QStringLiteral("WhenShownTimer"), Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->deleteLater();
    }
}
