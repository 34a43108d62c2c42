// The add-on's commands as the host lists them.
#include "addon/commands.h"

#include "platform/exception.h"

#include <cstring>

TAddonCommand MakeAddonCommand(std::int32_t id, std::string_view name, std::string_view captionUtf8,
                               std::string_view menuPathUtf8, TCommandEntry execute) {
    TAddonCommand command;
    std::memset(&command.attrs, 0, sizeof command.attrs);
    command.attrs.id = id;
    command.attrs.name.Assign(name);
    command.attrs.caption.Assign(Ansi(captionUtf8));
    command.attrs.menuPath.Assign(Ansi(menuPathUtf8));
    command.execute = execute;
    return command;
}

void RaiseWizardMissing(std::string_view captionUtf8) {
    throw EUserError(Ansi("Команда \"") + Ansi(captionUtf8) +
                     Ansi("\" пока недоступна в этой версии модуля."));
}
