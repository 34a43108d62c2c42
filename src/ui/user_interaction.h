// Every conversation with the user (message boxes, confirmations, open-file dialogs) goes
// through one injected service, so that runs and wizards work with a Qt implementation and
// tests with a scripted one.
#pragma once

#include "platform/codepage.h"

#include <filesystem>
#include <vector>

struct TOpenFileOptions {
    AnsiString title;
    // "Caption|*.a;*.b|Caption|*.*" as the wizards give it.
    AnsiString filter;
    AnsiString defaultExtension;
    bool multiSelect = false;
};

class TUserInteraction {
public:
    virtual ~TUserInteraction() = default;

    // A plain message box with an OK button.
    virtual void ShowMessage(const AnsiString& text) = 0;
    // The application's standard error box.
    virtual void ShowError(const AnsiString& text) = 0;
    // A question with Yes and No, a question icon and No as the default; true for Yes.
    virtual bool Confirm(const AnsiString& text, const AnsiString& caption) = 0;
    // The chosen files in the dialog's order; empty when the user cancels.
    virtual std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions& options) = 0;
    // Lets the application handle pending window messages (repaints, a cancel button).
    virtual void ProcessMessages() = 0;
};

// The service in force: the Qt one inside the host, a scripted one in tests.
TUserInteraction& UserInteraction();
// Replaces the service; returns the previous one. Passing nullptr restores the default.
TUserInteraction* SetUserInteraction(TUserInteraction* service);
