#include "addon/text_import_addon.h"

#include "addon/commands.h"

#include <array>
#include <cstring>

namespace {

TAddonCommand MakeCommand(std::int32_t id, const char* name, const char* captionUtf8,
                          const char* menuPathUtf8, void (*execute)(TQmCustomAddon&)) {
    TAddonCommand command;
    std::memset(&command.attrs, 0, sizeof command.attrs);
    command.attrs.id = id;
    command.attrs.name.Assign(name);
    command.attrs.caption.Assign(Ansi(captionUtf8));
    command.attrs.menuPath.Assign(Ansi(menuPathUtf8));
    command.execute = execute;
    return command;
}

} // namespace

TTextImportAddon::TTextImportAddon()
    : TQmCustomAddon(CLSID_TextImportAddon, "TextImport", Ansi("Импорт PTS, SDR, RPT, TEXT файлов"),
                     0) {}

std::span<const TAddonCommand> TTextImportAddon::Commands() {
    static const std::array<TAddonCommand, 3> kCommands = {
        MakeCommand(1, "ImportText", "Импорт текста", "&Сервис\\&Импорт\\Текст...",
                    &ExecuteTextImport),
        MakeCommand(2, "ImportPts", "Импорт PTS-файла", "&Сервис\\&Импорт\\PTS-файл...",
                    &ExecutePtsImport),
        MakeCommand(3, "ImportSdr", "Импорт SDR-файла", "&Сервис\\&Импорт\\SDR-файл...",
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
