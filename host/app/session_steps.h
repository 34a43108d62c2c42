// A recorded session for the desktop host: a JSON file of steps that open commands from the
// menu and work their dialogs by the controls' object names. Reading checks every step, so a
// typing error in a session fails before anything runs.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kavrohost {

// A session file that cannot be read or holds a step that cannot be understood.
class ESessionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TStepAction {
    Menu,    // "menu": trigger a command by menu path, caption or name
    Dialog,  // "dialog": wait for a top-level window; it becomes the current dialog
    Set,     // "set": give a control a value
    Select,  // "select": click rows, items or a cell of a list, tree or table
    Press,   // "press": click a button
    Answer,  // "answer": press a button of the message box shown
    Files,   // "files": choose files in the open-file dialog shown
    Pick,    // "pick": choose an entry of the pick list shown
    Closed,  // "closed": wait until a dialog has closed
    Picture, // "picture": save a picture of a window
    Check,   // "check": wait until a control shows what is expected
    Pause,   // "pause": let the host run for a while
};

struct TSessionStep {
    int number = 0; // 1-based position in the session
    TStepAction action = TStepAction::Pause;
    QString target;    // the action's argument: a name, caption, path, text or file name
    QStringList files; // "files": absolute paths
    int pickIndex = -1;
    int pauseMs = 0;
    int timeoutMs = 0;
    nlohmann::json options; // the step as written

    [[nodiscard]] bool Has(const char* key) const { return options.contains(key); }
    [[nodiscard]] QString Text(const char* key) const;
    [[nodiscard]] int Int(const char* key) const { return options.at(key).get<int>(); }
    [[nodiscard]] bool Bool(const char* key) const { return options.at(key).get<bool>(); }
    [[nodiscard]] double Number(const char* key) const { return options.at(key).get<double>(); }
    [[nodiscard]] std::vector<int> Ints(const char* key) const;
    [[nodiscard]] QStringList Texts(const char* key) const;
    // The step in a few words for messages: press "Далее >".
    [[nodiscard]] QString Describe() const;
};

struct TSession {
    std::vector<TSessionStep> steps;
    int timeoutMs = 10000;
};

// Reads and checks a session file. Relative file paths of "files" steps are taken from the
// session file's folder. Throws ESessionError naming the step at fault.
[[nodiscard]] TSession LoadSession(const std::filesystem::path& file);
// The same from a parsed document; `folder` resolves relative file paths.
[[nodiscard]] TSession ParseSession(const nlohmann::json& document,
                                    const std::filesystem::path& folder);

// A "date" value of a step: "YYYY-MM-DD", "YYYY-MM-DDTHH:MM[:SS]" or "DD.MM.YYYY"; nullopt for
// any other text.
[[nodiscard]] std::optional<QDateTime> StepDate(const QString& text);

// A caption as compared by the player: "&" accelerator marks removed ("&&" stays one "&").
[[nodiscard]] QString PlainCaption(const QString& caption);

} // namespace kavrohost
