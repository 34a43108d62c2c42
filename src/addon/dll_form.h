// The base of every dialog of the module, and of the dialogs that the add-on keeps track of.
// Free of any widget toolkit: a dialog class derives from its toolkit's dialog first and from
// one of these second, and the add-on frees it through the virtual destructor.
#pragma once

#include "platform/com/types.h"

class TQmCustomAddon;

class TDllForm {
public:
    // Records the host window that owns the module's forms at this moment (0 = none).
    TDllForm();
    virtual ~TDllForm() = default;
    TDllForm(const TDllForm&) = delete;
    TDllForm& operator=(const TDllForm&) = delete;

    // The window the dialog must be owned by; 0 leaves it without a host owner.
    HWND OwnerWindow() const { return m_ownerWindow; }

private:
    HWND m_ownerWindow;
};

// A form that registers with the current add-on when created and unregisters when destroyed,
// so that the add-on frees it if it is still open at Finalize or unload.
class TQmAddonForm : public TDllForm {
public:
    TQmAddonForm();
    ~TQmAddonForm() override;

    // The add-on the form registered with; null when there was none.
    TQmCustomAddon* Addon() const { return m_addon; }

private:
    TQmCustomAddon* m_addon;
};
