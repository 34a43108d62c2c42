#include "addon/dll_form.h"

#include "addon/custom_addon.h"
#include "addon/module_state.h"

TDllForm::TDllForm() : m_ownerWindow(FormOwnerWindow()) {}

TQmAddonForm::TQmAddonForm() : m_addon(CurrentAddon()) {
    if (m_addon)
        m_addon->RegisterForm(this);
}

TQmAddonForm::~TQmAddonForm() {
    if (m_addon)
        m_addon->UnregisterForm(this);
}
