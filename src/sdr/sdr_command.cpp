// The entry point of the command that imports SDR and RPT files.
#include "sdr/sdr_command.h"

#include "addon/commands.h"

void ExecuteSdrImport(TQmCustomAddon&) {
    RaiseWizardMissing("Импорт SDR-файла");
}
