// The PTS import run.
#include "pts/pts_import_run.h"

#include "coords/import_transformation.h"
#include "pts/host_points.h"
#include "pts/pts_file_import.h"
#include "ui/user_interaction.h"

namespace PtsImportForms {

namespace {
bool HasPtsExtension(const std::filesystem::path& fileName) {
    // The text from the last dot of the name after its folder (".pts" alone counts too).
    const std::string name = fileName.filename().string();
    const std::size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext == ".PTS";
}
} // namespace

void RunPtsImport(const TPtsImportSettings& settings) {
    const TPointConversion conversion = PrepareRunConversion(settings.transformation);

    TPtsWriterSettings writerSettings{settings.database,    settings.layerId,
                                      settings.styleId,     settings.tableId,
                                      settings.numberField, settings.commentField};
    std::error_code ec;
    if (settings.fileName.empty() || !std::filesystem::is_regular_file(settings.fileName, ec))
        throw EUserError(Ansi("Файл не существует"));

    TInputPtsFile reader(settings.fileName);
    TNXYZFileImport driver(reader, writerSettings, conversion.Transformer(), conversion.Matrix());
    driver.Run();

    const TImportExtent& extent = driver.Extent();
    if (extent.HasArea())
        ShowHostRect(settings.application.Get(), extent.MinX, extent.MinY, extent.MaxX,
                     extent.MaxY);
    // Commit before reporting success, so that a failing commit is reported instead.
    driver.Writer().Flush();
    UserInteraction().ShowMessage(Ansi("Импорт успешно завершен."));
}

bool PreviewPtsFile(const std::filesystem::path& fileName, TTextLines& lines) {
    lines.Clear();
    try {
        if (!HasPtsExtension(fileName))
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
