// The entry point of the command that imports PTS file.
#include "pts/pts_command.h"

#include "addon/gui/wizard_command.h"
#include "pts/gui/pts_import_form.h"

void ExecutePtsImport(TQmCustomAddon& addon) {
    ShowImportWizard<TPtsImportForm>(addon);
}
