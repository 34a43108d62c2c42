// The module's add-on and its command table.
#include "module/text_import_addon.h"

#include "pts/pts_command.h"
#include "sdr/sdr_command.h"
#include "textimport/gui/text_import_command.h"

#include <array>

TTextImportAddon::TTextImportAddon()
    : TQmCustomAddon(CLSID_TextImportAddon, "TextImport", Ansi("Импорт PTS, SDR, RPT, TEXT файлов"),
                     0) {}

std::span<const TAddonCommand> TTextImportAddon::Commands() {
    static const std::array<TAddonCommand, 3> kCommands = {
        MakeAddonCommand(1, "ImportText", "Импорт текста", "&Сервис\\&Импорт\\Текст...",
                         &ExecuteTextImport),
        MakeAddonCommand(2, "ImportPts", "Импорт PTS-файла", "&Сервис\\&Импорт\\PTS-файл...",
                         &ExecutePtsImport),
        MakeAddonCommand(3, "ImportSdr", "Импорт SDR-файла", "&Сервис\\&Импорт\\SDR-файл...",
                         &ExecuteSdrImport),
    };
    return kCommands;
}

TComPtr<IQmMacroAttrsList> TTextImportAddon::GetMacros() {
    TComPtr<IQmMacroAttrsList> list = TQmCustomAddon::GetMacros();
    TQmMacroAttrsList wrapper;
    wrapper.intf = list;
    for (const TAddonCommand& command : Commands())
        wrapper.Insert(-1, command.attrs);
    return list;
}

void TTextImportAddon::ExecuteMacro(std::int32_t id, std::int32_t) {
    for (const TAddonCommand& command : Commands()) {
        if (command.attrs.id == id) {
            command.execute(*this);
            return;
        }
    }
}
