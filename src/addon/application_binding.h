// What the add-on asks of the windowing side when the host binds it to its application window:
// the window's title, and the module's message boxes and dialogs tied to that window. The Qt
// side of the module installs one (addon/gui/qt_application_binding.h); without one, as in
// headless runs, the title is empty and user interaction stays as it was set.
#pragma once

#include "platform/codepage.h"
#include "platform/com/types.h"

class IApplicationBinding {
public:
    virtual ~IApplicationBinding() = default;
    // The window's title; empty for 0 or an unknown window.
    [[nodiscard]] virtual AnsiString WindowTitle(HWND window) = 0;
    // From now on the module's message boxes and dialogs belong to the window and carry the
    // title.
    virtual void Bind(HWND window, const AnsiString& title) = 0;
    // Undoes Bind.
    virtual void Unbind() = 0;
};

// The binding Initialize and Finalize use; not owned. Null: none.
[[nodiscard]] IApplicationBinding* ApplicationBinding();
void SetApplicationBinding(IApplicationBinding* binding);
