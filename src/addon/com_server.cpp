#include "addon/com_server.h"

#include "addon/addon_factory.h"
#include "addon/custom_addon.h"
#include "addon/module_state.h"
#include "addon/registry_path.h"
#include "platform/dynamic_library.h"
#include "platform/exception.h"
#include "platform/registry.h"

namespace {

constexpr std::string_view kAddOnsKey = "\\Software\\Tesmo\\GIS\\AddOns";
constexpr std::string_view kAppliedAddOnsKey = "\\Software\\Tesmo\\GIS\\AppliedAddOns";

AnsiString ClassKey(const CLSID& classId) {
    return "CLSID\\" + GuidToString(classId);
}

// The module's file as InprocServer32 names it: a path with a space in its short 8.3 form on
// Windows, so that a reader that splits the value at spaces still finds the file.
AnsiString ModuleFile() {
    std::filesystem::path file =
        TDynamicLibrary::FileOfAddress(reinterpret_cast<const void*>(&RegisterServer));
    if (file.empty())
        throw EUserError(Ansi("Не удалось определить файл модуля"));
#if defined(_WIN32)
    if (file.native().find(L' ') != std::wstring::npos) {
        std::wstring shortName(file.native().size() + 1, L'\0');
        const DWORD length =
            GetShortPathNameW(file.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
        if (length > 0 && length < shortName.size()) {
            shortName.resize(length);
            file = shortName;
        }
    }
#endif
    const auto utf8 = file.u8string();
    return Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

} // namespace

HRESULT RegisterAddOns(const char* id, BOOL active) {
    try {
        const AnsiString base =
            (id && *id) ? JoinRegistryPath({kAppliedAddOnsKey, id}) : AnsiString(kAddOnsKey);
        TRegistryStore registry;
        for (TQmCustomAddon* addon : AddonList()) {
            TQmAddonInfo info;
            addon->GetInfo(&info);
            const AnsiString key = JoinRegistryPath({base, GuidToString(info.classId)});
            try {
                registry.CreateKey(TRegistryRoot::LocalMachine, key);
            } catch (const ERegistryError&) {
                throw EUserError(Ansi("Ошибка при регистрации расширения"));
            }
            registry.WriteString(TRegistryRoot::LocalMachine, key, "", info.caption.Str());
            registry.WriteString(TRegistryRoot::LocalMachine, key, "Active", active ? "1" : "0");
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT RegisterServer() {
    try {
        TRegistryStore registry;
        const AnsiString file = ModuleFile();
        for (TQmAddonFactory* factory : AddonFactories()) {
            const AnsiString key = ClassKey(factory->ClassId());
            registry.WriteString(TRegistryRoot::ClassesRoot, key, "", factory->Description());
            registry.WriteString(TRegistryRoot::ClassesRoot, key + "\\InprocServer32", "", file);
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT UnregisterServer() {
    try {
        TRegistryStore registry;
        for (TQmAddonFactory* factory : AddonFactories()) {
            const AnsiString key = ClassKey(factory->ClassId());
            registry.DeleteKey(TRegistryRoot::ClassesRoot, key + "\\InprocServer32");
            registry.DeleteKey(TRegistryRoot::ClassesRoot, key);
        }
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT GetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    TQmAddonFactory* factory = FindAddonFactory(classId);
    if (!factory)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(riid, object);
}

HRESULT CanUnloadNow() {
    return (ComObjectCount() > 0 || ModuleLockCount() > 0) ? S_FALSE : S_OK;
}

void LoadAddonModule(void (*createAddons)()) {
    (void)AddonList(); // the list exists before the first add-on
    createAddons();
}

void UnloadAddonModule() {
    while (!AddonList().empty())
        delete AddonList().back(); // leaves the list by itself
    FreeAddonList();
    ReleaseAddonFactories();
    FreeModuleState();
}
