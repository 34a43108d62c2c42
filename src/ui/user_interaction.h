// Every conversation with the user (message boxes, confirmations, open-file dialogs, pick
// lists) goes through one injected service, so that runs and wizards work with a Qt
// implementation and tests with a scripted one.
#pragma once

#include "platform/codepage.h"

#include <filesystem>
#include <optional>
#include <vector>

struct TOpenFileOptions {
    AnsiString title;
    // "Caption|*.a;*.b|Caption|*.*" as the wizards give it.
    AnsiString filter;
    AnsiString defaultExtension;
    bool multiSelect = false;
};

// The icon of a question; both kinds offer Yes and No with No as the default button.
enum class TConfirmKind { Question, Warning };

// A rectangle in global screen coordinates, e.g. the grid cell a pick list opens under.
struct TScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TPickListRequest {
    // The list opens just below this rectangle, at least as wide as it.
    TScreenRect anchor;
    std::vector<AnsiString> items;
    // The entry selected when the list opens; -1 for none.
    int selected = -1;
};

class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;

    // A plain message box with an OK button, captioned with the application title.
    virtual void ShowMessage(const AnsiString& text) = 0;
    // The application's standard error box.
    virtual void ShowError(const AnsiString& text) = 0;
    // A question with Yes and No and No as the default; true for Yes.
    virtual bool Confirm(const AnsiString& text, const AnsiString& caption,
                         TConfirmKind kind = TConfirmKind::Question) = 0;
    // The chosen files in the dialog's order; empty when the user cancels.
    virtual std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions& options) = 0;
    // The index of the chosen entry; nullopt when the list is dismissed.
    virtual std::optional<int> PickFromList(const TPickListRequest& request) = 0;
    // Lets the application handle pending window messages (repaints, a cancel button).
    virtual void ProcessMessages() = 0;
};

// The service in force: a test's scripted one while it is installed, else the default.
TUserInteraction& UserInteraction();
// Replaces the service; returns the previous one. Passing nullptr restores the default.
TUserInteraction* SetUserInteraction(TUserInteraction* service);
// The service used when none is installed: the Qt one once the module has a user interface,
// a silent one (drops messages, answers no) before. Passing nullptr restores the silent one.
void SetDefaultUserInteraction(TUserInteraction* service);
