// The add-on's commands as the host lists them: a descriptor and the entry point that runs it.
// Each importer owns its command's entry point; the module builds the command table from them.
#pragma once

#include "host_api/addon_api.h"

#include <string_view>

class TQmCustomAddon;

// Runs a command's wizard modally for the add-on and returns when the wizard has been freed;
// failures are exceptions (the add-on's proxy reports them to the host).
using TCommandEntry = void (*)(TQmCustomAddon& addon);

struct TAddonCommand {
    TQmMacroAttrs attrs;
    TCommandEntry execute = nullptr;
};

// A command record with every byte beyond its texts zero; caption and menu path are given as
// UTF-8 literals and held as Windows-1251.
[[nodiscard]] TAddonCommand MakeAddonCommand(std::int32_t id, std::string_view name,
                                             std::string_view captionUtf8,
                                             std::string_view menuPathUtf8, TCommandEntry execute);

// What a command raises while this build of the module has no wizard for it: "Команда
// "<caption>" пока недоступна в этой версии модуля."
[[noreturn]] void RaiseWizardMissing(std::string_view captionUtf8);
