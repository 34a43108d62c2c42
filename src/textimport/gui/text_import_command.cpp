// The entry point of the command that imports delimited text.
#include "textimport/gui/text_import_command.h"

#include "addon/module_state.h"
#include "platform/gui/window.h"
#include "textimport/gui/text_import_form.h"

#include <QPointer>

void ExecuteTextImport(TQmCustomAddon& addon) {
    EnsureGuiApplication();
    // The add-on frees its forms at Finalize; the wizard may be gone before the modal loop ends.
    const QPointer<TTextImportForm> form = new TTextImportForm(WidgetOfWindow(FormOwnerWindow()));
    struct TFree {
        const QPointer<TTextImportForm>& form;
        ~TFree() { delete form.data(); }
    } free{form};
    form->Setup(addon);
    form->exec();
}
