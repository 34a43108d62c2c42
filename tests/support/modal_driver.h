// Answers modal dialogs from inside a test: the test queues what to do with the next dialog,
// then calls the code that opens it; the action runs from the event loop once the dialog shows.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `action` on the first visible top-level widget with the object name (or on the active
// modal widget when the name is empty), polling the event loop for up to `timeoutMs`.
inline void WhenShown(const char* objectName, std::function<void(QWidget*)> action,
                      int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
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
            delete clock;
            if (found)
                action(found);
        }
    });
    timer->start();
}
