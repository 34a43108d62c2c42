// The entry point of the command that imports a PTS file.
#include "pts/pts_command.h"

#include "addon/commands.h"

void ExecutePtsImport(TQmCustomAddon&) {
    RaiseWizardMissing("Импорт PTS-файла");
}
