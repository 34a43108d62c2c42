// The module's add-on: its identity and the table of its three import commands.
#pragma once

#include "addon/commands.h"
#include "addon/custom_addon.h"

#include <span>

inline constexpr CLSID CLSID_TextImportAddon = MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}");

class TTextImportAddon final : public TQmCustomAddon {
public:
    TTextImportAddon();

    // The base's empty list with the three commands appended in table order.
    TComPtr<IQmMacroAttrsList> GetMacros() override;
    // Runs the command with that id; an unknown id does nothing.
    void ExecuteMacro(std::int32_t id, std::int32_t value) override;

    // The constant command table: ids 1, 2, 3, each with its importer's entry point.
    static std::span<const TAddonCommand> Commands();
};
