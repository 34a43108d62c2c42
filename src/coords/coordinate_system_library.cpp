#include "coords/coordinate_system_library.h"

#include "platform/dynamic_library.h"
#include "text/text_rules.h"

#include <cstdint>
#include <cstdlib>
#include <system_error>

const char* CoordinateSystemLibraryFileName() {
#if defined(_WIN32)
    return "KavroGdal.dll";
#else
    return "KavroGdal.so";
#endif
}

namespace {
AnsiString PathText(const std::filesystem::path& path) {
    return Utf8ToAnsi(path.string());
}

ECoordinateSystemError NotLoaded() {
    return ECoordinateSystemError(Ansi("Модуль не проинициализирован"));
}
} // namespace

// --- library ---------------------------------------------------------------------------------

TCoordinateSystemLibrary::TCoordinateSystemLibrary(std::filesystem::path file)
    : m_file(std::move(file)) {}

TCoordinateSystemLibrary::~TCoordinateSystemLibrary() {
    Unload();
}

void TCoordinateSystemLibrary::Load(const AnsiString& initText) {
    if (m_library)
        return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_file, ec))
        throw ECoordinateSystemError(Ansi("Ошибка загрузки библиотеки. Не найден файл \"") +
                                     PathText(m_file) + "\"");
    std::string loaderError;
    auto library = TDynamicLibrary::Load(m_file, &loaderError);
    if (!library)
        throw ECoordinateSystemError(Utf8ToAnsi(loaderError));

    TKavroGdalExports e;
    auto need = [&](auto& slot, const char* name) {
        slot = library->Function<std::remove_reference_t<decltype(slot)>>(name);
        if (!slot)
            throw ECoordinateSystemError(Ansi("Не найдена функция \"") + name + "\"");
    };
    need(e.InitializeModule, "InitializeModule");
    need(e.FinalizeModule, "FinalizeModule");
    need(e.GetLastError, "GetLastError");
    need(e.DestroyData, "DestroyData");
    need(e.CreateCoordinateSystem, "CreateCoordinateSystem");
    need(e.DestroyCoordinateSystem, "DestroyCoordinateSystem");
    need(e.GetCoordinateSystemInfo, "GetCoordinateSystemInfo");
    need(e.IsCoordinateSystemSame, "IsCoordinateSystemSame");
    need(e.CreateCoordinateTransformer, "CreateCoordinateTransformer");
    need(e.DestroyCoordinateTransformer, "DestroyCoordinateTransformer");
    need(e.TransformPoints, "TransformPoints");
    need(e.TransformPoint, "TransformPoint");
    need(e.TransformBounds, "TransformBounds");
    need(e.InverseTransformBounds, "InverseTransformBounds");
    need(e.GetPredefinedCoordinateSystems, "GetPredefinedCoordinateSystems");
    need(e.GetSupportedCoordinateSystemFormats, "GetSupportedCoordinateSystemFormats");
    e.GetGeofileInfo = library->Function<TKavroGdalExports::GetGeofileInfoFn>("GetGeofileInfo");
    e.ExportCoordinateSystemTo =
        library->Function<TKavroGdalExports::ExportFn>("ExportCoordinateSystemTo");

    m_library = std::move(library);
    m_exports = e;
    if (!m_exports.InitializeModule(initText.c_str())) {
        const AnsiString message = LastError().Message;
        m_library.reset();
        m_exports = TKavroGdalExports();
        throw ECoordinateSystemError(Ansi("Ошибка инициализации модуля \"") + PathText(m_file) +
                                     "\". " + message);
    }
}

void TCoordinateSystemLibrary::Unload() {
    if (!m_library)
        return;
    m_exports.FinalizeModule();
    m_exports = TKavroGdalExports();
    m_library.reset();
}

const TKavroGdalExports& TCoordinateSystemLibrary::Exports() const {
    if (!m_library)
        throw NotLoaded();
    return m_exports;
}

AnsiString TCoordinateSystemLibrary::TakeText(char* data) const {
    if (!data)
        return {};
    AnsiString text(data);
    Exports().DestroyData(data);
    return text;
}

TCoordinateSystemLibrary::TError TCoordinateSystemLibrary::LastError() const {
    TError error;
    const AnsiString text = TakeText(Exports().GetLastError());
    if (TrimControls(text).empty())
        return error;
    const TJson json = ParseAnsiJson(text);
    if (json.is_null())
        return error;
    error.Code = JsonInteger(json, "Code", 0);
    error.Message = JsonText(json, "Message", "");
    return error;
}

void TCoordinateSystemLibrary::CheckLastError() const {
    const TError error = LastError();
    if (error.Code != 0)
        throw ECoordinateSystemError(error.Message);
}

// --- references and transformations ----------------------------------------------------------

TDllProviderCoordinateReference::~TDllProviderCoordinateReference() {
    if (m_handle && m_library && m_library->IsLoaded())
        m_library->Exports().DestroyCoordinateSystem(m_handle);
}

TDllProviderCoordinateTransformation::TDllProviderCoordinateTransformation(
    TCoordinateSystemLibraryPtr library, void* handle, TCoordinateReferencePtr source,
    TCoordinateReferencePtr target)
    : TCoordinateTransformation(std::move(source), std::move(target)),
      m_library(std::move(library)), m_handle(handle),
      m_transformPoint(m_library->Exports().TransformPoint) {}

TDllProviderCoordinateTransformation::~TDllProviderCoordinateTransformation() {
    if (m_handle && m_library && m_library->IsLoaded())
        m_library->Exports().DestroyCoordinateTransformer(m_handle);
}

bool TDllProviderCoordinateTransformation::TransformPoint(TCSPoint& point, AnsiString& error) {
    if (!m_library->IsLoaded())
        throw NotLoaded();
    double x = point.x, y = point.y, z = point.z;
    if (!m_transformPoint(m_handle, &x, &y, &z)) {
        error = "Can't transform point";
        return false;
    }
    point = {x, y, z};
    return true;
}

bool TDllProviderCoordinateTransformation::TransformPoints(TCSPointArray& points,
                                                           TCSBooleanArray& flags,
                                                           AnsiString& error) {
    if (points.empty())
        return true;
    if (points.size() > static_cast<size_t>(INT32_MAX)) {
        error = "Too many points";
        return false;
    }
    const auto& exports = m_library->Exports();
    std::vector<double> coordinates;
    coordinates.reserve(points.size() * 3);
    for (const auto& p : points)
        coordinates.insert(coordinates.end(), {p.x, p.y, p.z});
    std::unique_ptr<bool[]> converted(new bool[points.size()]());
    if (!exports.TransformPoints(m_handle, static_cast<std::int32_t>(points.size()),
                                 coordinates.data(), converted.get())) {
        error = m_library->LastError().Message;
        return false;
    }
    flags.assign(points.size(), 0);
    for (size_t i = 0; i < points.size(); ++i) {
        flags[i] = converted[i] ? 1 : 0;
        if (converted[i])
            points[i] = {coordinates[3 * i], coordinates[3 * i + 1], coordinates[3 * i + 2]};
    }
    return true;
}

namespace {
bool CallBounds(const TCoordinateSystemLibrary& library, TKavroGdalExports::TransformBoundsFn fn,
                void* handle, TCSBoundingBox& box, AnsiString& error) {
    double values[6] = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};
    if (!fn(handle, values)) {
        error = library.LastError().Message;
        return false;
    }
    box.min = {values[0], values[1], values[2]};
    box.max = {values[3], values[4], values[5]};
    return true;
}
} // namespace

bool TDllProviderCoordinateTransformation::TransformBounds(TCSBoundingBox& box, AnsiString& error) {
    return CallBounds(*m_library, m_library->Exports().TransformBounds, m_handle, box, error);
}

bool TDllProviderCoordinateTransformation::InverseTransformBounds(TCSBoundingBox& box,
                                                                  AnsiString& error) {
    return CallBounds(*m_library, m_library->Exports().InverseTransformBounds, m_handle, box,
                      error);
}

// --- provider --------------------------------------------------------------------------------

TDllCoordinateSystemProvider::TDllCoordinateSystemProvider(AnsiString name,
                                                           std::filesystem::path libraryFile,
                                                           AnsiString initText)
    : TCoordinateSystemProvider(std::move(name)),
      m_library(std::make_shared<TCoordinateSystemLibrary>(std::move(libraryFile))),
      m_initText(std::move(initText)) {}

TCoordinateSystemLibrary& TDllCoordinateSystemProvider::EnsureLoaded() {
    if (!m_library->IsLoaded())
        m_library->Load(m_initText);
    return *m_library;
}

void TDllCoordinateSystemProvider::GetFormats(TCoordinateReferenceFormatList& list) {
    auto& library = EnsureLoaded();
    char* data = nullptr;
    if (!library.Exports().GetSupportedCoordinateSystemFormats(&data)) {
        library.TakeText(data);
        library.CheckLastError();
        return;
    }
    const TJson formats = ParseAnsiJson(library.TakeText(data));
    if (formats.is_null())
        return;
    if (!formats.is_array())
        throw EJsonError("JSON array expected");
    for (const auto& format : formats)
        list.push_back(std::make_shared<TCoordinateReferenceFormat>(
            JsonText(format, "Name"), JsonText(format, "Caption"),
            JsonText(format, "Description", "")));
}

void TDllCoordinateSystemProvider::GetPredefinedReferences(TCoordinateReferenceList& list) {
    auto& library = EnsureLoaded();
    char* data = nullptr;
    if (!library.Exports().GetPredefinedCoordinateSystems(&data)) {
        library.TakeText(data);
        library.CheckLastError();
        return;
    }
    const TJson references = ParseAnsiJson(library.TakeText(data));
    if (references.is_null())
        return;
    TCoordinateReferenceList read;
    LoadReferenceListFromJSON(read, references);
    list.insert(list.end(), read.begin(), read.end());
}

std::shared_ptr<TDllProviderCoordinateReference>
TDllCoordinateSystemProvider::MakeReference(const TCoordinateReferenceDef& def) {
    auto& library = EnsureLoaded();
    void* handle = nullptr;
    if (!library.Exports().CreateCoordinateSystem("", def.Format.c_str(), def.Parameters.c_str(),
                                                  &handle))
        return nullptr;
    auto reference = std::make_shared<TDllProviderCoordinateReference>(m_library, handle);
    char* data = nullptr;
    if (library.Exports().GetCoordinateSystemInfo(handle, &data)) {
        TCoordinateReferenceDef info;
        info.LoadFromJSON(ParseAnsiJson(library.TakeText(data)));
        reference->SetDef(info);
    } else {
        library.TakeText(data);
        library.CheckLastError();
    }
    return reference;
}

bool TDllCoordinateSystemProvider::CreateReference(const TCoordinateReferenceDef& def,
                                                   TCoordinateReferencePtr& reference) {
    auto created = MakeReference(def);
    reference = created;
    return created != nullptr;
}

bool TDllCoordinateSystemProvider::CreateTransformation(const TCoordinateReferenceDef& source,
                                                        const TCoordinateReferenceDef& target,
                                                        TCoordinateTransformationPtr& result) {
    result.reset();
    auto s = MakeReference(source);
    if (!s)
        return false;
    auto t = MakeReference(target);
    if (!t)
        return false;
    void* handle = nullptr;
    if (!m_library->Exports().CreateCoordinateTransformer(s->Handle(), t->Handle(), "", &handle))
        return false;
    result = std::make_shared<TDllProviderCoordinateTransformation>(m_library, handle, s, t);
    return true;
}

AnsiString TDllCoordinateSystemProvider::GetLastError() {
    if (!m_library->IsLoaded())
        return {};
    return m_library->LastError().Message;
}

bool TDllCoordinateSystemProvider::GetGeoFileInfo(const AnsiString& fileName, TGeoFileInfo& info) {
    info.Clear();
    auto& library = EnsureLoaded();
    if (!library.Exports().GetGeofileInfo) {
        info.Message = "Method <GetGeoFileInfo> not found in KavroGdal.dll.";
        return false;
    }
    char* data = nullptr;
    if (!library.Exports().GetGeofileInfo(fileName.c_str(), &data)) {
        library.TakeText(data);
        info.Message = library.LastError().Message;
        return false;
    }
    const TJson json = ParseAnsiJson(library.TakeText(data));
    if (JsonText(json, "KavroGDALVersion", "") != "1.0") {
        info.Message = "Unsupported version of KavroGdal.dll.";
        return false;
    }
    const AnsiString status = JsonText(json, "Status", "");
    if (status != "ok") {
        info.Message = status;
        return false;
    }
    info.DriverName = JsonText(json, "DriverName", "");
    info.Width = JsonInteger(json, "Width", 0);
    info.Height = JsonInteger(json, "Height", 0);
    info.WKT = JsonText(json, "WKT", "");
    info.PROJ4 = JsonText(json, "PROJ4", "");
    info.AxisMapping = JsonText(json, "AxisMapping", "");
    if (json.contains("GeoTransform")) {
        const TJson& g = json["GeoTransform"];
        if (!g.is_array() || g.size() < 6)
            throw EJsonError("Property \"GeoTransform\" is not an array of six numbers");
        info.GeoTransform.tx = g[0].get<double>();
        info.GeoTransform.a = g[1].get<double>();
        info.GeoTransform.b = g[2].get<double>();
        info.GeoTransform.ty = g[3].get<double>();
        info.GeoTransform.c = g[4].get<double>();
        info.GeoTransform.d = g[5].get<double>();
    }
    return true;
}

bool TDllCoordinateSystemProvider::ExportReference(const TCoordinateReference& reference,
                                                   const AnsiString& format,
                                                   TCoordinateReferenceDef& result) {
    result.Clear();
    auto& library = EnsureLoaded();
    if (!library.Exports().ExportCoordinateSystemTo)
        throw ECoordinateSystemError(
            "Method <ExportCoordinateSystemTo> not found in KavroGdal.dll.");
    auto own = dynamic_cast<const TDllProviderCoordinateReference*>(&reference);
    std::shared_ptr<TDllProviderCoordinateReference> created;
    if (!own) {
        created = MakeReference(reference.Def());
        if (!created)
            return false;
        own = created.get();
    }
    char* data = nullptr;
    if (!library.Exports().ExportCoordinateSystemTo(own->Handle(), format.c_str(), &data)) {
        library.TakeText(data);
        return false;
    }
    result = reference.Def();
    result.SetFormat(format);
    result.Parameters = library.TakeText(data);
    return true;
}

// --- finding the library ---------------------------------------------------------------------

namespace {
// %NAME%, $NAME and ${NAME}; unknown names are left as written.
std::string ExpandEnvironment(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        size_t nameStart = 0, nameEnd = 0, next = 0;
        if (c == '%') {
            const size_t close = text.find('%', i + 1);
            if (close != std::string::npos && close > i + 1)
                nameStart = i + 1, nameEnd = close, next = close + 1;
        } else if (c == '$' && i + 1 < text.size() && text[i + 1] == '{') {
            const size_t close = text.find('}', i + 2);
            if (close != std::string::npos)
                nameStart = i + 2, nameEnd = close, next = close + 1;
        } else if (c == '$') {
            size_t j = i + 1;
            while (j < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_'))
                ++j;
            if (j > i + 1)
                nameStart = i + 1, nameEnd = j, next = j;
        }
        if (next) {
            if (const char* value =
                    std::getenv(text.substr(nameStart, nameEnd - nameStart).c_str())) {
                out += value;
                i = next;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::filesystem::path ModuleFolder() {
    return TDynamicLibrary::FileOfAddress(reinterpret_cast<const void*>(&ModuleFolder))
        .parent_path();
}
} // namespace

std::optional<std::filesystem::path> FindCoordinateSystemLibrary(const AnsiString& folderText) {
    std::filesystem::path folder = AnsiToUtf8(ExpandEnvironment(folderText));
    if (folder.empty())
        folder = ModuleFolder();
    else if (folder.is_relative())
        folder = ModuleFolder() / folder;
    const char* name = CoordinateSystemLibraryFileName();
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / name, ec))
        return folder / name;
    if (!std::filesystem::is_directory(folder, ec))
        return std::nullopt;
    for (auto it = std::filesystem::recursive_directory_iterator(
             folder, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename() == name && it->is_regular_file(ec))
            return it->path();
    }
    return std::nullopt;
}

TCoordinateSystemProviderPtr CreateGDALProvider(const AnsiString& folderText) {
    // The file found is the one loaded, also when it sits in a subfolder.
    if (auto file = FindCoordinateSystemLibrary(folderText))
        return std::make_shared<TGDALCoordinateSystemProvider>(*file);
    return nullptr;
}
