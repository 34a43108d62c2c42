// The entry point of the command that imports delimited text.
#include "textimport/gui/text_import_command.h"

#include "addon/gui/wizard_command.h"
#include "textimport/gui/text_import_form.h"

void ExecuteTextImport(TQmCustomAddon& addon) {
    ShowImportWizard<TTextImportForm>(addon);
}
