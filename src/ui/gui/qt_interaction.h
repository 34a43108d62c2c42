// The user interaction service with Qt dialogs: message boxes captioned with the application
// title, Yes/No questions with No as the default, the open-file dialog and the pick list. The
// dialogs are Qt's own widgets (not native ones) with fixed object names, so that a test or a
// recorded session can answer them like any other dialog.
#pragma once

#include "ui/user_interaction.h"

#include <QStringList>

#include <memory>

class QFileDialog;
class QWidget;

class TQtInteraction final : public TUserInteraction {
public:
    // Object names of the dialogs it shows.
    static constexpr const char* kMessageBoxName = "MessageBox";
    static constexpr const char* kOpenFileDialogName = "OpenFileDialog";
    static constexpr const char* kPickListName = "PickList";

    // The caption of plain message boxes and error boxes.
    void SetApplicationTitle(AnsiString title) { m_title = std::move(title); }
    [[nodiscard]] const AnsiString& ApplicationTitle() const { return m_title; }
    // The window the dialogs belong to when no modal dialog is open (the host's window).
    void SetOwnerWindow(QWidget* owner) { m_owner = owner; }

    void ShowMessage(const AnsiString& text) override;
    void ShowError(const AnsiString& text) override;
    bool Confirm(const AnsiString& text, const AnsiString& caption, TConfirmKind kind) override;
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions& options) override;
    std::optional<int> PickFromList(const TPickListRequest& request) override;
    void ProcessMessages() override;

private:
    [[nodiscard]] QWidget* DialogParent() const;

    AnsiString m_title;
    QWidget* m_owner = nullptr;
};

// The open-file dialog as OpenFiles shows it, set up but not shown.
[[nodiscard]] std::unique_ptr<QFileDialog> MakeOpenFileDialog(const TOpenFileOptions& options,
                                                              QWidget* parent);

// The module's one Qt service.
TQtInteraction& QtInteraction();

// "Caption|*.a;*.b|All|*.*" as Qt's "Caption (*.a *.b);;All (*)" list of name filters. A caption
// that already lists its patterns the Windows way, "Caption (*.a, *.b)", shows them once, in
// Qt's form: "Caption (*.a *.b)".
[[nodiscard]] QStringList QtNameFilters(const AnsiString& filter);
