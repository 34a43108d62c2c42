// The entry point of the command that imports SDR and RPT files.
#include "sdr/sdr_command.h"

#include "addon/module_state.h"
#include "platform/gui/window.h"
#include "sdr/gui/sdr_import_form.h"

#include <QPointer>

void ExecuteSdrImport(TQmCustomAddon& addon) {
    EnsureGuiApplication();
    // The add-on frees its forms at Finalize; the wizard may be gone before the modal loop ends.
    const QPointer<TSdrImportForm> form = new TSdrImportForm(WidgetOfWindow(FormOwnerWindow()));
    struct TFree {
        const QPointer<TSdrImportForm>& form;
        ~TFree() { delete form.data(); }
    } free{form};
    form->Setup(addon);
    form->exec();
}
