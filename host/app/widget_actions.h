// What the session player does to Qt widgets, without knowing whose dialog they belong to:
// finding controls by object name or caption, giving them values the way a user's input
// would (with the signals of user input), clicking list rows, reading what a control shows,
// and answering message boxes, open-file dialogs and pick lists.
#pragma once

#include "session_steps.h"

#include <QString>

#include <functional>
#include <optional>

class QAbstractButton;
class QAbstractItemView;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace kavrohost {

// One try of a step. Ready: the step can be done now; `perform` (when set) does it and must
// run from the event loop, because it may open a modal dialog; it answers an error text or
// an empty string. Wait: not yet (the reason is reported if the step times out). Fail: it
// cannot be done at all.
struct TAttempt {
    enum class TState { Ready, Wait, Fail };
    TState state = TState::Wait;
    QString reason;
    std::function<QString()> perform;

    static TAttempt Ready(std::function<QString()> perform = {}) {
        return {TState::Ready, {}, std::move(perform)};
    }
    static TAttempt Wait(QString reason) { return {TState::Wait, std::move(reason), {}}; }
    static TAttempt Fail(QString reason) { return {TState::Fail, std::move(reason), {}}; }
};

// The control of the window with this object name, a visible one before a hidden one;
// controls of other windows (a message box owned by the dialog) are not looked at.
[[nodiscard]] QWidget* FindControl(QWidget* window, const QString& name);
// A button of the window by object name, else by caption ("&" marks ignored).
[[nodiscard]] QAbstractButton* FindButton(QWidget* window, const QString& nameOrCaption);
// Why a user could not reach the control now (a modal dialog or a popup over its window).
[[nodiscard]] std::optional<QString> Blocked(QWidget* control);
// A window in a few words for messages: its kind, title or text and object name.
[[nodiscard]] QString DescribeWindow(QWidget* window);
// The text of a message box with its informative and detailed texts.
[[nodiscard]] QString MessageBoxText(QMessageBox* box);

// "set": line edits and plain or rich text edits take "text"; combo boxes "index" or "text";
// check boxes and radio buttons "checked"; spin boxes and sliders "value"; date and time
// edits "date"; tab widgets "index"; with "row" and "column" a cell of a list, tree or table
// is edited through its own editor.
[[nodiscard]] TAttempt PlanSet(QWidget* control, const TSessionStep& step);
// "select": clicks the rows ("rows"), the entries with these texts in the first column
// ("items", trees searched through) or the cell ("row", "column") of an item view; further
// rows are added with Ctrl held; "double" double-clicks the last one.
[[nodiscard]] TAttempt PlanSelect(QWidget* control, const TSessionStep& step);
// "check": Ready when the control shows everything the step expects; Wait with what it
// shows otherwise.
[[nodiscard]] TAttempt CheckControl(QWidget* control, const TSessionStep& step);
// "answer": presses the button with the step's caption, after checking the message text.
[[nodiscard]] TAttempt PlanAnswer(QMessageBox* box, const TSessionStep& step);
// "files": types the paths into the dialog's file name field and accepts it.
[[nodiscard]] TAttempt PlanFiles(QFileDialog* dialog, const TSessionStep& step);
// "pick": clicks the entry (by text or index) of a pick list, then presses Return if the
// list did not close on the click.
[[nodiscard]] TAttempt PlanPick(QAbstractItemView* list, const TSessionStep& step);

} // namespace kavrohost
