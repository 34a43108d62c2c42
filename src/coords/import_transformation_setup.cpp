#include "coords/import_transformation_setup.h"

#include "coords/coordinate_system_library.h"

namespace {

// The display text's lines; an undefined reference reads "Параметры не заданы".
void AppendDisplayText(std::vector<AnsiString>& lines, const TCoordinateReferenceDef& reference) {
    const AnsiString text = reference.DisplayText(Ansi("Параметры не заданы"));
    size_t start = 0;
    while (true) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(
            text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start));
        if (end == AnsiString::npos)
            break;
        start = end + 2;
    }
}

} // namespace

AnsiString CoordinateSystemLibraryFolder(const AnsiString& applicationFolder) {
    if (applicationFolder.empty() || applicationFolder.back() == '/' ||
        applicationFolder.back() == '\\')
        return applicationFolder + "GDAL";
    return applicationFolder + "/GDAL";
}

std::unique_ptr<TCoordinateSystemCatalog> CreateImportCatalog(const AnsiString& applicationFolder) {
    TCoordinateSystemProviderList providers;
    if (auto provider = CreateGDALProvider(CoordinateSystemLibraryFolder(applicationFolder)))
        providers.push_back(std::move(provider));
    auto catalog = std::make_unique<TCoordinateSystemCatalog>(providers);
    catalog->Reload();
    return catalog;
}

std::vector<AnsiString> SourceReferenceDescription(const TCoordinateReferenceDef& source,
                                                   const TCoordinateReferenceDef& database) {
    std::vector<AnsiString> lines;
    if (source.IsUndefined()) {
        lines.push_back(Ansi("Исходная система координат не определена, данные будут "
                             "импортированы без трансформации"));
    } else if (IsSame(source, database)) {
        lines.push_back(Ansi("Параметры исходной СК, совпадают с параметрами СК базы данных, "
                             "данные будут импортированы без трансформации."));
        lines.emplace_back();
        lines.push_back(Ansi("Исходная система координат:"));
        AppendDisplayText(lines, source);
    } else {
        lines.push_back(
            Ansi("Данные будут импортированы с трансформацией по следующими параметрам:"));
        lines.emplace_back();
        lines.push_back(Ansi("Исходная система координат:"));
        AppendDisplayText(lines, source);
        lines.emplace_back();
        lines.push_back(Ansi("Система координат базы данных:"));
        AppendDisplayText(lines, database);
    }
    return lines;
}
