// The commands of a module built without its Qt dialogs (the Windows cross-build): each says so
// through the host's error sink, and ExecuteMacro returns E_FAIL.
#include "platform/exception.h"
#include "pts/pts_command.h"
#include "sdr/sdr_command.h"
#include "textimport/gui/text_import_command.h"

namespace {

[[noreturn]] void NoDialogs() {
    throw EUserError(Ansi("Эта сборка модуля не содержит диалогов импорта: модуль собран без Qt. "
                          "Соберите его с Qt для Windows."));
}

} // namespace

void ExecuteTextImport(TQmCustomAddon&) {
    NoDialogs();
}

void ExecutePtsImport(TQmCustomAddon&) {
    NoDialogs();
}

void ExecuteSdrImport(TQmCustomAddon&) {
    NoDialogs();
}
