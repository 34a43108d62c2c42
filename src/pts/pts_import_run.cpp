// The PTS import run.
#include "pts/pts_import_run.h"

#include "platform/exception.h"
#include "pts/pts_file_import.h"
#include "text/text_rules.h"
#include "ui/user_interaction.h"

namespace PtsImportForms {

void RunPtsImport(const TPtsImportSettings& settings) {
    const TPointConversion conversion = PrepareRunConversion(settings.transformation);

    const TPtsWriterSettings writerSettings{settings.database,    settings.layerId,
                                            settings.styleId,     settings.tableId,
                                            settings.numberField, settings.commentField};
    std::error_code ec;
    if (settings.fileName.empty() || !std::filesystem::is_regular_file(settings.fileName, ec))
        throw EUserError(Ansi("Файл не существует"));

    TInputPtsFile reader(settings.fileName);
    TNXYZFileImport driver(reader, writerSettings, conversion);
    // Committed before success is reported, so that a failing commit is reported instead; after
    // an error, what came before it is committed, or the user is told that it was not.
    WriteAndCommit(driver.Writer().Writer(), [&] {
        driver.Run();
        ShowImportExtent(settings.application.Get(), driver.Extent());
    });
    UserInteraction().ShowMessage(Ansi("Импорт успешно завершен."));
}

bool PreviewPtsFile(const std::filesystem::path& fileName, TTextLines& lines) {
    lines.Clear();
    try {
        if (UpperFileExtension(fileName) != ".PTS")
            throw EUserError(Ansi("Неизвестный тип файла"));
        TInputPtsFile reader(fileName);
        TNXYZImportToStrings lister(reader, lines);
        lister.Run();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

AnsiString CheckPtsFirstPage(const std::filesystem::path& fileName, const AnsiString& layerId) {
    if (fileName.empty())
        return Ansi("Файл не выбран.");
    if (layerId.empty())
        return Ansi("Стиль не задан.");
    return {};
}

} // namespace PtsImportForms
