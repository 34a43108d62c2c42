#include "coords/coordinate_system_library.h"

#include "platform/dynamic_library.h"
#include "text/text_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

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

// Copies a text the library returned and hands it back to the library, also when the copy fails.
AnsiString CopyAndRelease(KavroDestroyData* destroy, char* data) {
    if (!data)
        return {};
    const auto release = [destroy](char* p) { destroy(p); };
    std::unique_ptr<char, decltype(release)> owned(data, release);
    return AnsiString(data);
}

// A whole number in a JSON object; absent or null gives the fallback. Anything else than a whole
// number from min to max (0.5, 1e300, a text) is a malformed text, not a number to convert.
long long WholeNumber(const TJson& object, const char* key, long long fallback,
                      long long min = std::numeric_limits<long long>::min(),
                      long long max = std::numeric_limits<long long>::max()) {
    if (!object.is_object())
        throw EJsonError("JSON object expected");
    const auto it = object.find(key);
    if (it == object.end() || it->is_null())
        return fallback;
    if (it->is_number_unsigned()) {
        const auto value = it->get<std::uint64_t>();
        if (max >= 0 && value <= static_cast<std::uint64_t>(max))
            return static_cast<long long>(value);
    } else if (it->is_number_integer()) {
        const auto value = it->get<std::int64_t>();
        if (value >= min && value <= max)
            return value;
    } else if (it->is_number_float()) {
        // Within +-2^63, where the conversion is defined, and without a fraction.
        const double value = it->get<double>();
        if (std::isfinite(value) && std::trunc(value) == value && value >= -0x1p63 &&
            value < 0x1p63) {
            const auto whole = static_cast<long long>(value);
            if (whole >= min && whole <= max)
                return whole;
        }
    }
    throw EJsonError("Property \"" + AnsiString(key) + "\" is not a whole number in range");
}

// The message of the error text that a failed initialisation left: the JSON's "Message", or
// the text as it stands when it is not such JSON.
AnsiString InitializationMessage(const AnsiString& text) {
    const std::string_view trimmed = TrimControls(text);
    if (trimmed.empty())
        return {};
    try {
        const TJson json = ParseAnsiJson(trimmed);
        if (json.is_null())
            return {};
        if (json.is_object())
            return JsonText(json, "Message", "");
    } catch (const std::exception&) {
        // Not the expected form: shown as it stands.
    }
    return AnsiString(trimmed);
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
    e.GetGeofileInfo = library->Function<KavroGetGeofileInfo*>("GetGeofileInfo");
    e.ExportCoordinateSystemTo =
        library->Function<KavroExportCoordinateSystemTo*>("ExportCoordinateSystemTo");

    if (!e.InitializeModule(initText.c_str())) {
        // The error text is copied out and the library let go before the text is read, so that
        // nothing that goes wrong in reading it can leave the library loaded.
        AnsiString errorText;
        try {
            errorText = CopyAndRelease(e.DestroyData, e.GetLastError());
        } catch (const std::exception&) {
            errorText.clear();
        }
        library.reset();
        throw ECoordinateSystemError(Ansi("Ошибка инициализации модуля \"") + PathText(m_file) +
                                     "\". " + InitializationMessage(errorText));
    }
    m_library = std::move(library);
    m_exports = e;
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
    return CopyAndRelease(Exports().DestroyData, data);
}

TCoordinateSystemLibrary::TError TCoordinateSystemLibrary::LastError() const {
    TError error;
    const AnsiString text = TakeText(Exports().GetLastError());
    if (TrimControls(text).empty())
        return error;
    const TJson json = ParseAnsiJson(text);
    if (json.is_null())
        return error;
    error.Code = WholeNumber(json, "Code", 0);
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
    info.Width = WholeNumber(json, "Width", 0);
    info.Height = WholeNumber(json, "Height", 0);
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
// %NAME%, $NAME and ${NAME} in a UTF-8 text; unknown names are left as written. Values are taken
// as the system gives them (UTF-8 here), so the text is decoded once, before expansion.
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

// The subfolders of a folder, by name; symbolic links to folders are not followed (a link can
// lead back up the tree).
std::vector<std::filesystem::path> SubfoldersByName(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> result;
    std::error_code ec;
    for (std::filesystem::directory_iterator
             it(folder, std::filesystem::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        if (it->is_directory(entryError) && !it->is_symlink(entryError))
            result.push_back(it->path());
    }
    std::sort(result.begin(), result.end());
    return result;
}
} // namespace

// When several subfolders hold a copy of the library, the choice does not depend on the order in
// which the file system lists them: the copy nearest to the folder wins (the folder itself, then
// its subfolders, then theirs, level by level), and among copies at the same depth the one whose
// path comes first by name.
std::optional<std::filesystem::path> FindCoordinateSystemLibrary(const AnsiString& folderText) {
    std::filesystem::path folder = ExpandEnvironment(AnsiToUtf8(folderText));
    if (folder.empty())
        folder = ModuleFolder();
    else if (folder.is_relative())
        folder = ModuleFolder() / folder;
    const char* name = CoordinateSystemLibraryFileName();
    std::error_code ec;
    std::vector<std::filesystem::path> level{folder};
    while (!level.empty()) {
        std::vector<std::filesystem::path> next;
        for (const auto& dir : level) {
            if (std::filesystem::is_regular_file(dir / name, ec))
                return dir / name;
        }
        for (const auto& dir : level) {
            auto subfolders = SubfoldersByName(dir);
            next.insert(next.end(), subfolders.begin(), subfolders.end());
        }
        level = std::move(next);
    }
    return std::nullopt;
}

TCoordinateSystemProviderPtr CreateGDALProvider(const AnsiString& folderText) {
    // The file found is the one loaded, also when it sits in a subfolder.
    if (auto file = FindCoordinateSystemLibrary(folderText))
        return std::make_shared<TGDALCoordinateSystemProvider>(*file);
    return nullptr;
}
