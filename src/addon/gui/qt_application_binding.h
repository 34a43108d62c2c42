// The Qt side of the add-on's binding to the host's application window: the window's title from
// its widget, and the Qt interaction service tied to it as the module's user interaction.
#pragma once

#include "addon/application_binding.h"

class TQtApplicationBinding final : public IApplicationBinding {
public:
    AnsiString WindowTitle(HWND window) override;
    void Bind(HWND window, const AnsiString& title) override;
    void Unbind() override;
};

// Installs the module's one Qt binding (for the module's load and for tests of its dialogs).
void InstallQtApplicationBinding();
