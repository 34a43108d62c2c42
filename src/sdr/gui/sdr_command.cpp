// The entry point of the command that imports survey files.
#include "sdr/sdr_command.h"

#include "addon/gui/wizard_command.h"
#include "sdr/gui/sdr_import_form.h"

void ExecuteSdrImport(TQmCustomAddon& addon) {
    ShowImportWizard<TSdrImportForm>(addon);
}
