// An add-on for the shell's own tests: the module's class id and caption, and no commands (the
// module's command table is tested through the module itself).
#pragma once

#include "addon/custom_addon.h"

inline constexpr CLSID kSampleAddonClassId = MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}");

class TSampleAddon final : public TQmCustomAddon {
public:
    TSampleAddon()
        : TQmCustomAddon(kSampleAddonClassId, "TextImport",
                         Ansi("Импорт PTS, SDR, RPT, TEXT файлов"), 0) {}
};
