#include "session_player.h"

#include "main_window.h"
#include "object_export.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>

#include <cstdlib>
#include <iostream>

namespace kavrohost {

namespace {

// How long a failed session waits for the dialogs it closes to let their command end.
constexpr int kAbortMs = 10000;

QString Quoted(const QString& text) {
    return '"' + text + '"';
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// The shown window of a kind: the modal one on top when it is of that kind, else any.
template <class T> T* ShownWindow() {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
        return w;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

QString OpenNow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return "; open: " + DescribeWindow(modal);
    return {};
}

void CollectCommands(const QList<QAction*>& actions, const QString& path,
                     std::vector<std::pair<QString, QAction*>>& out) {
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        const QString p =
            path.isEmpty() ? PlainCaption(a->text()) : path + '\\' + PlainCaption(a->text());
        if (a->menu())
            CollectCommands(a->menu()->actions(), p, out);
        else
            out.emplace_back(p, a);
    }
}

} // namespace

TSessionPlayer::TSessionPlayer(TMainWindow& window, TSession session,
                               std::filesystem::path pictures)
    : m_window(window), m_session(std::move(session)), m_pictures(std::move(pictures)) {
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
}

void TSessionPlayer::Start() {
    m_phaseClock.start();
    m_timer.start();
}

void TSessionPlayer::Tick() {
    // A step's action runs apart from the tick that found it ready (it may open a modal loop
    // in which the next ticks come); nothing else runs until it has started.
    if (m_busy || m_actionPending)
        return;
    m_busy = true;
    switch (m_phase) {
    case TPhase::Playing:
        Play();
        break;
    case TPhase::Finishing:
        Finish();
        break;
    case TPhase::Aborting:
        Abort();
        break;
    case TPhase::Done:
        break;
    }
    m_busy = false;
}

void TSessionPlayer::Play() {
    if (m_index >= m_session.steps.size()) {
        m_phase = TPhase::Finishing;
        m_phaseClock.restart();
        Finish();
        return;
    }
    const TSessionStep& step = m_session.steps[m_index];
    if (!m_stepClock.isValid())
        m_stepClock.start();
    TAttempt attempt =
        step.action == TStepAction::Pause
            ? (m_stepClock.elapsed() >= step.pauseMs ? TAttempt::Ready() : TAttempt::Wait({}))
            : Attempt(step);
    switch (attempt.state) {
    case TAttempt::TState::Ready:
        Report(step);
        ++m_index;
        m_stepClock.invalidate();
        if (attempt.perform) {
            m_actionPending = true;
            QTimer::singleShot(0, this, [this, &step, perform = std::move(attempt.perform)] {
                m_actionPending = false;
                const QString error = perform();
                if (!error.isEmpty() && m_phase == TPhase::Playing)
                    Fail(step, error);
            });
        }
        break;
    case TAttempt::TState::Wait:
        if (step.action != TStepAction::Pause && m_stepClock.elapsed() >= step.timeoutMs)
            Fail(step, attempt.reason + QString(" (waited %1 ms)").arg(step.timeoutMs));
        break;
    case TAttempt::TState::Fail:
        Fail(step, attempt.reason);
        break;
    }
}

void TSessionPlayer::Finish() {
    QWidget* open = QApplication::activePopupWidget();
    if (!open)
        open = QApplication::activeModalWidget();
    if (!open && !m_window.CommandRunning()) {
        std::cout << "session: " << m_session.steps.size() << " steps played\n";
        try {
            PrintProjectSummary(m_window.ProjectFile(), std::cout);
        } catch (const std::exception& e) {
            std::cerr << "kavro-host: " << e.what() << "\n";
            End(1);
            return;
        }
        End(0);
        return;
    }
    if (m_phaseClock.elapsed() >= m_session.timeoutMs) {
        std::cerr << "kavro-host: the session ended while "
                  << Utf8(open ? DescribeWindow(open) : QStringLiteral("a command"))
                  << " is still open\n";
        m_phase = TPhase::Aborting;
        m_phaseClock.restart();
    }
}

void TSessionPlayer::Abort() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        m_actionPending = true;
        QTimer::singleShot(0, this, [this, window = QPointer(modal)] {
            m_actionPending = false;
            if (auto* dialog = qobject_cast<QDialog*>(window.data()))
                dialog->reject();
            else if (window)
                window->close();
        });
        return;
    }
    if (!m_window.CommandRunning()) {
        End(1);
        return;
    }
    if (m_phaseClock.elapsed() >= kAbortMs) {
        // The module keeps its command running whatever is closed: nothing is left to wait for.
        std::cerr << "kavro-host: the command did not end after the session failed\n";
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(1);
    }
}

void TSessionPlayer::End(int code) {
    m_phase = TPhase::Done;
    m_timer.stop();
    std::cout.flush();
    QCoreApplication::exit(code);
}

void TSessionPlayer::Report(const TSessionStep& step) {
    std::cout << "step " << step.number << "/" << m_session.steps.size() << ": "
              << Utf8(step.Describe() + m_reportNote) << std::endl;
    m_reportNote.clear();
}

void TSessionPlayer::Fail(const TSessionStep& step, const QString& reason) {
    std::cerr << "kavro-host: session step " << step.number << " (" << Utf8(step.Describe())
              << "): " << Utf8(reason) << std::endl;
    if (!m_pictures.empty()) {
        QWidget* shown = QApplication::activeModalWidget();
        QString why;
        SavePicture(shown ? shown : &m_window, QString("failed-step-%1.png").arg(step.number), why);
    }
    m_phase = TPhase::Aborting;
    m_phaseClock.restart();
}

TAttempt TSessionPlayer::Attempt(const TSessionStep& step) {
    switch (step.action) {
    case TStepAction::Menu:
        return Menu(step);
    case TStepAction::Dialog:
        return Dialog(step);
    case TStepAction::Closed:
        return Closed(step);
    case TStepAction::Picture:
        return Picture(step);
    case TStepAction::Answer:
        if (auto* box = ShownWindow<QMessageBox>())
            return PlanAnswer(box, step);
        return TAttempt::Wait("no message box is open" + OpenNow());
    case TStepAction::Files:
        if (auto* dialog = ShownWindow<QFileDialog>())
            return PlanFiles(dialog, step);
        return TAttempt::Wait("no file dialog is open" + OpenNow());
    case TStepAction::Pick: {
        auto* list = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
        if (!list)
            list = qobject_cast<QAbstractItemView*>(TopLevel(QStringLiteral("PickList")));
        if (!list)
            return TAttempt::Wait("no pick list is open" + OpenNow());
        return PlanPick(list, step);
    }
    case TStepAction::Set:
    case TStepAction::Select:
    case TStepAction::Press:
    case TStepAction::Check:
        return OnControl(step);
    case TStepAction::Pause:
        break;
    }
    return TAttempt::Ready();
}

QAction* TSessionPlayer::FindCommand(const QString& pathOrName, QString& why) const {
    std::vector<std::pair<QString, QAction*>> commands;
    CollectCommands(m_window.menuBar()->actions(), {}, commands);
    QStringList pieces;
    for (const QString& piece : pathOrName.split('\\', Qt::SkipEmptyParts))
        pieces << PlainCaption(piece);
    const QString path = pieces.join('\\');
    const QString caption = PlainCaption(pathOrName);
    // By menu path, else by the command's name, else by its caption or its menu entry.
    const std::function<bool(const std::pair<QString, QAction*>&)> rules[] = {
        [&](const auto& c) { return c.first == path; },
        [&](const auto& c) { return c.second->objectName() == pathOrName; },
        [&](const auto& c) { return PlainCaption(c.second->toolTip()) == caption; },
        [&](const auto& c) { return PlainCaption(c.second->text()) == caption; },
    };
    for (const auto& rule : rules) {
        std::vector<QAction*> found;
        for (const auto& c : commands)
            if (rule(c))
                found.push_back(c.second);
        if (found.size() == 1)
            return found.front();
        if (found.size() > 1) {
            why = "several menu commands match " + Quoted(pathOrName);
            return nullptr;
        }
    }
    QStringList paths;
    for (const auto& c : commands)
        paths << Quoted(c.first);
    why = "no menu command " + Quoted(pathOrName) + " (the menus hold " + paths.join(", ") + ")";
    return nullptr;
}

TAttempt TSessionPlayer::Menu(const TSessionStep& step) {
    QString why;
    QAction* action = FindCommand(step.target, why);
    if (!action)
        return TAttempt::Fail(why);
    if (QWidget* modal = QApplication::activeModalWidget())
        return TAttempt::Wait("the menu is out of reach: a dialog is open: " +
                              DescribeWindow(modal));
    if (m_window.CommandRunning())
        return TAttempt::Wait("a command is still running");
    if (!action->isEnabled())
        return TAttempt::Wait("the command is disabled (is a project open?)");
    return TAttempt::Ready([a = QPointer(action)]() -> QString {
        if (a)
            a->trigger();
        return {};
    });
}

QWidget* TSessionPlayer::TopLevel(const QString& nameOrTitle) const {
    auto matches = [&](QWidget* w) {
        return w->objectName() == nameOrTitle || w->windowTitle() == nameOrTitle;
    };
    if (QWidget* modal = QApplication::activeModalWidget(); modal && matches(modal))
        return modal;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != &m_window && w->isVisible() && matches(w))
            return w;
    return nullptr;
}

QWidget* TSessionPlayer::Scope() const {
    if (m_current && m_current->isVisible())
        return m_current;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return &m_window;
}

TAttempt TSessionPlayer::Dialog(const TSessionStep& step) {
    if (QWidget* w = TopLevel(step.target)) {
        m_current = w;
        return TAttempt::Ready();
    }
    return TAttempt::Wait("no window " + Quoted(step.target) + " is open" + OpenNow());
}

TAttempt TSessionPlayer::Closed(const TSessionStep& step) {
    const bool current = step.target.isEmpty();
    QWidget* window = current ? m_current.data() : TopLevel(step.target);
    if (window && window->isVisible())
        return TAttempt::Wait(DescribeWindow(window) + " is still open");
    // The command that showed the dialog ends with it, unless it goes on with another one.
    if (m_window.CommandRunning() && !QApplication::activeModalWidget() &&
        !QApplication::activePopupWidget())
        return TAttempt::Wait("the command that showed it is still running");
    if (current || m_current == window)
        m_current = nullptr;
    return TAttempt::Ready();
}

bool TSessionPlayer::SavePicture(QWidget* widget, const QString& name, QString& why) {
    std::filesystem::path file = std::filesystem::u8path(Utf8(name));
    if (file.is_relative())
        file = (m_pictures.empty() ? std::filesystem::current_path() : m_pictures) / file;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPixmap pixmap = widget->grab();
    if (pixmap.isNull() || !pixmap.save(QString::fromStdString(file.string()), "PNG")) {
        why = "cannot write the picture " + QString::fromStdString(file.string());
        return false;
    }
    m_reportNote = QString::fromStdString(" -> " + file.string());
    return true;
}

TAttempt TSessionPlayer::Picture(const TSessionStep& step) {
    const QString of = step.Has("of") ? step.Text("of") : QString();
    QWidget* widget = nullptr;
    if (of == "window") {
        widget = &m_window;
    } else if (of == "dialog") {
        widget = m_current && m_current->isVisible() ? m_current.data()
                                                     : QApplication::activeModalWidget();
        if (!widget)
            return TAttempt::Wait("no dialog is open");
    } else if (of.isEmpty()) {
        // What the user sees on top.
        widget = QApplication::activeModalWidget();
        if (!widget)
            widget = &m_window;
    } else {
        widget = TopLevel(of);
        if (!widget)
            widget = FindControl(Scope(), of);
        if (!widget || !widget->isVisible())
            return TAttempt::Wait("no window or control " + Quoted(of) + " is shown");
    }
    QString why;
    if (!SavePicture(widget, step.target, why))
        return TAttempt::Fail(why);
    return TAttempt::Ready();
}

TAttempt TSessionPlayer::OnControl(const TSessionStep& step) {
    QWidget* scope = Scope();
    QWidget* control = step.action == TStepAction::Press ? FindButton(scope, step.target)
                                                         : FindControl(scope, step.target);
    const QString name = Quoted(step.target);
    if (!control) {
        // A control that is not there is not shown either.
        if (step.action == TStepAction::Check && step.Has("visible") && !step.Bool("visible"))
            return TAttempt::Ready();
        return TAttempt::Wait("no " +
                              QString(step.action == TStepAction::Press ? "button " : "control ") +
                              name + " in " + DescribeWindow(scope));
    }
    TAttempt attempt;
    if (step.action == TStepAction::Check) {
        attempt = CheckControl(control, step);
    } else if (!control->isVisible()) {
        attempt = TAttempt::Wait("is not shown");
    } else if (!control->isEnabled()) {
        attempt = TAttempt::Wait("is disabled");
    } else if (auto blocked = Blocked(control)) {
        attempt = TAttempt::Wait("is out of reach: " + *blocked);
    } else if (step.action == TStepAction::Set) {
        attempt = PlanSet(control, step);
    } else if (step.action == TStepAction::Select) {
        attempt = PlanSelect(control, step);
    } else {
        attempt =
            TAttempt::Ready([b = QPointer(qobject_cast<QAbstractButton*>(control))]() -> QString {
                if (!b)
                    return "is gone";
                b->click();
                return {};
            });
    }
    if (!attempt.reason.isEmpty())
        attempt.reason = name + " " + attempt.reason;
    if (attempt.perform)
        attempt.perform = [name, perform = std::move(attempt.perform)]() -> QString {
            const QString error = perform();
            return error.isEmpty() ? error : name + " " + error;
        };
    return attempt;
}

} // namespace kavrohost
