#include "addon_module.h"

#include "platform/registry.h"

#include <cstdio>

namespace kavrohost {

namespace {

std::string HrText(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::filesystem::path Canonical(const std::filesystem::path& file) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(file), ec);
    return ec ? std::filesystem::absolute(file) : p;
}

// Modules that still had live objects when their holder went: kept loaded, as COM does.
std::vector<std::unique_ptr<TDynamicLibrary>>& KeptLibraries() {
    static std::vector<std::unique_ptr<TDynamicLibrary>> kept;
    return kept;
}

} // namespace

TAddonDescription TAddon::Describe() {
    TAddonDescription d;
    TQmAddonInfo info{};
    HRESULT hr = m_addon->GetInfo(&info);
    if (FAILED(hr))
        throw ELoaderError("GetInfo: " + HrText(hr));
    d.classId = info.classId;
    d.name = AnsiToUtf8(info.name.View());
    d.caption = AnsiToUtf8(info.caption.View());
    d.value = info.value;
    d.reserved = info.reserved;
    TComPtr<IQmMacroAttrsList> list;
    hr = m_addon->GetMacros(list.Put());
    if (FAILED(hr) || !list)
        throw ELoaderError("GetMacros: " + HrText(hr));
    std::int32_t count = 0;
    if (FAILED(list->Count(&count)))
        throw ELoaderError("GetMacros: Count");
    for (std::int32_t i = 0; i < count; ++i) {
        TQmMacroAttrs attrs{};
        if (FAILED(list->Get(i, &attrs)))
            throw ELoaderError("GetMacros: Get " + std::to_string(i));
        d.commands.push_back({attrs.id, AnsiToUtf8(attrs.name.View()),
                              AnsiToUtf8(attrs.caption.View()), AnsiToUtf8(attrs.menuPath.View())});
    }
    return d;
}

TAddonModule::TAddonModule(const std::filesystem::path& file) : m_file(Canonical(file)) {
    if (!std::filesystem::exists(m_file))
        throw ELoaderError("Модуль \"" + file.string() + "\" не найден");
    std::string error;
    m_library = TDynamicLibrary::Load(m_file, &error);
    if (!m_library)
        throw ELoaderError("Не удалось загрузить модуль \"" + file.string() + "\": " + error);
    m_registerAddOn = m_library->Function<QmDllRegisterAddOnFn>("QmDllRegisterAddOn");
    m_getClassObject = m_library->Function<DllGetClassObjectFn>("DllGetClassObject");
    m_canUnloadNow = m_library->Function<DllCanUnloadNowFn>("DllCanUnloadNow");
    m_registerServer = m_library->Function<DllRegisterServerFn>("DllRegisterServer");
    m_unregisterServer = m_library->Function<DllUnregisterServerFn>("DllUnregisterServer");
    if (!m_registerAddOn || !m_getClassObject || !m_canUnloadNow || !m_registerServer ||
        !m_unregisterServer)
        throw ELoaderError("Модуль \"" + file.string() + "\" не является расширением ГИС");
}

TAddonModule::~TAddonModule() {
    if (m_library && m_canUnloadNow() != S_OK)
        KeptLibraries().push_back(std::move(m_library));
}

HRESULT TAddonModule::RegisterAddOn(const char* id, bool active) {
    return m_registerAddOn(id, active ? 1 : 0);
}
HRESULT TAddonModule::RegisterServer() {
    return m_registerServer();
}
HRESULT TAddonModule::UnregisterServer() {
    return m_unregisterServer();
}
HRESULT TAddonModule::CanUnloadNow() {
    return m_canUnloadNow();
}

TAddon TAddonModule::Create(const GUID& classId) {
    TComPtr<IClassFactory> factory;
    HRESULT hr = m_getClassObject(classId, IID_IClassFactory, factory.PutVoid());
    if (FAILED(hr) || !factory)
        throw ELoaderError("Модуль не предоставляет класс " + GuidToString(classId) + " (" +
                           HrText(hr) + ")");
    TComPtr<IQmAddOn> addon;
    hr = factory->CreateInstance(nullptr, IID_IQmAddOn, addon.PutVoid());
    if (FAILED(hr) || !addon)
        throw ELoaderError("Не удалось создать расширение " + GuidToString(classId) + " (" +
                           HrText(hr) + ")");
    return TAddon(std::move(addon));
}

std::vector<TRegisteredAddon> RegisteredAddons() {
    std::vector<TRegisteredAddon> result;
    TRegistryStore registry;
    for (const auto& name : registry.SubKeys(TRegistryRoot::LocalMachine, kAddOnsKey)) {
        auto classId = ParseGuid(name);
        if (!classId)
            continue;
        std::string key = std::string(kAddOnsKey) + "\\" + name;
        TRegisteredAddon addon;
        addon.classId = *classId;
        addon.caption =
            AnsiToUtf8(registry.ReadString(TRegistryRoot::LocalMachine, key, "").value_or(""));
        addon.active =
            registry.ReadString(TRegistryRoot::LocalMachine, key, "Active").value_or("0") == "1";
        auto module =
            registry.ReadString(TRegistryRoot::ClassesRoot,
                                "CLSID\\" + GuidToString(*classId) + "\\InprocServer32", "");
        if (module)
            addon.module = AnsiToUtf8(*module);
        result.push_back(std::move(addon));
    }
    return result;
}

std::vector<GUID> ClassIdsOfModule(const std::filesystem::path& module) {
    std::vector<GUID> result;
    auto wanted = Canonical(module);
    TRegistryStore registry;
    for (const auto& name : registry.SubKeys(TRegistryRoot::ClassesRoot, "CLSID")) {
        auto classId = ParseGuid(name);
        if (!classId)
            continue;
        auto file = registry.ReadString(TRegistryRoot::ClassesRoot,
                                        "CLSID\\" + name + "\\InprocServer32", "");
        if (file && Canonical(AnsiToUtf8(*file)) == wanted)
            result.push_back(*classId);
    }
    return result;
}

void RemoveAddonKey(const GUID& classId) {
    TRegistryStore registry;
    registry.DeleteKey(TRegistryRoot::LocalMachine,
                       std::string(kAddOnsKey) + "\\" + GuidToString(classId));
}

} // namespace kavrohost
