// The entry point of the command that imports a PTS file.
#include "pts/pts_command.h"

#include "addon/module_state.h"
#include "platform/gui/window.h"
#include "pts/gui/pts_import_form.h"

#include <QPointer>

void ExecutePtsImport(TQmCustomAddon& addon) {
    EnsureGuiApplication();
    // The add-on frees its forms at Finalize; the wizard may be gone before the modal loop ends.
    const QPointer<TPtsImportForm> form = new TPtsImportForm(WidgetOfWindow(FormOwnerWindow()));
    struct TFree {
        const QPointer<TPtsImportForm>& form;
        ~TFree() { delete form.data(); }
    } free{form};
    form->Setup(addon);
    form->exec();
}
