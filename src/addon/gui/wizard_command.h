// What every import command does: shows its wizard modally for the add-on, owned by the host's
// window, and frees it afterwards.
#pragma once

#include "addon/module_state.h"
#include "platform/gui/window.h"

#include <QPointer>

class TQmCustomAddon;

// Makes sure a QApplication exists, creates the wizard, sets it up for the add-on and runs it
// modally; the wizard is freed when it returns, also when its set-up fails (the failure then
// propagates). The add-on frees its forms at Finalize, so the wizard may be gone before its
// modal loop ends.
template <class TWizard> void ShowImportWizard(TQmCustomAddon& addon) {
    EnsureGuiApplication();
    const QPointer<TWizard> form = new TWizard(WidgetOfWindow(FormOwnerWindow()));
    struct TFree {
        const QPointer<TWizard>& form;
        ~TFree() { delete form.data(); }
    } free{form};
    form->Setup(addon);
    form->exec();
}
