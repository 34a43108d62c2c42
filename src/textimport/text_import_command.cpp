// The entry point of the command that imports delimited text.
#include "textimport/text_import_command.h"

#include "addon/commands.h"

void ExecuteTextImport(TQmCustomAddon&) {
    RaiseWizardMissing("Импорт текста");
}
