#include "addon/commands.h"

#include "platform/exception.h"

namespace {

// The wizards are not part of this build of the module yet: the command fails plainly rather
// than pretending to run.
[[noreturn]] void NotAvailable(const char* captionUtf8) {
    throw EUserError(Ansi("Команда \"") + Ansi(captionUtf8) +
                     Ansi("\" пока недоступна в этой версии модуля."));
}

} // namespace

void ExecuteTextImport(TQmCustomAddon&) {
    NotAvailable("Импорт текста");
}
void ExecutePtsImport(TQmCustomAddon&) {
    NotAvailable("Импорт PTS-файла");
}
void ExecuteSdrImport(TQmCustomAddon&) {
    NotAvailable("Импорт SDR-файла");
}
