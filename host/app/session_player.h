// Plays a recorded session (session_steps.h) in the desktop host: the steps run from a timer
// of the event loop, so they go on inside the modal loops of the dialogs that the commands
// open, as a user's input does.
#pragma once

#include "session_steps.h"
#include "widget_actions.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <filesystem>

class QAction;
class QMenu;

namespace kavrohost {

class TMainWindow;

class TSessionPlayer final : public QObject {
public:
    // Pictures go to `pictures` (created when needed); relative picture names are taken from
    // there.
    TSessionPlayer(TMainWindow& window, TSession session, std::filesystem::path pictures);

    // Starts playing once the event loop runs. When the session is done and no command runs
    // any more, the player prints what the project holds and ends the application with 0;
    // when a step cannot be done it reports the step, closes the dialogs that are open and
    // ends it with 1.
    void Start();

private:
    enum class TPhase { Playing, Finishing, Aborting, Done };

    void Tick();
    void Play();
    void Finish();
    void Abort();
    void Fail(const TSessionStep& step, const QString& reason);
    void Report(const TSessionStep& step);
    void End(int code);

    TAttempt Attempt(const TSessionStep& step);
    TAttempt Menu(const TSessionStep& step);
    TAttempt Dialog(const TSessionStep& step);
    TAttempt Closed(const TSessionStep& step);
    TAttempt Picture(const TSessionStep& step);
    TAttempt OnControl(const TSessionStep& step);

    // Where controls are looked for: the current dialog while it is shown, else the modal
    // dialog on top, else the main window.
    QWidget* Scope() const;
    // A shown top-level window (not the main window) by object name or title.
    QWidget* TopLevel(const QString& nameOrTitle) const;
    QAction* FindCommand(const QString& pathOrName, QString& why) const;
    bool SavePicture(QWidget* widget, const QString& name, QString& why);

    TMainWindow& m_window;
    TSession m_session;
    std::filesystem::path m_pictures;
    QTimer m_timer;
    std::size_t m_index = 0;
    QElapsedTimer m_stepClock;
    QElapsedTimer m_phaseClock;
    TPhase m_phase = TPhase::Playing;
    QPointer<QWidget> m_current;
    bool m_busy = false;
    bool m_actionPending = false;
    QString m_reportNote; // added to the report of the step done
};

} // namespace kavrohost
