// The module's add-on: the three import commands.
#pragma once

#include "addon/custom_addon.h"

#include <span>

inline constexpr CLSID CLSID_TextImportAddon = MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}");

// One command: its descriptor for the host and the entry point that runs it.
struct TAddonCommand {
    TQmMacroAttrs attrs;
    void (*execute)(TQmCustomAddon& addon);
};

class TTextImportAddon final : public TQmCustomAddon {
public:
    TTextImportAddon();

    // The base's empty list with the three commands appended in table order.
    TComPtr<IQmMacroAttrsList> GetMacros() override;
    // Runs the command with that id; an unknown id does nothing.
    void ExecuteMacro(std::int32_t id, std::int32_t value) override;

    // The constant command table: ids 1, 2, 3.
    static std::span<const TAddonCommand> Commands();
};
