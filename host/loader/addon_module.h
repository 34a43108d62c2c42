// Loading an add-on module as the host does: its exports, registration, the class factory of a
// registered class id, and the add-on object with its descriptor and commands.
#pragma once

#include "host_api/addon_api.h"
#include "platform/dynamic_library.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavrohost {

// A module that cannot be loaded or used; the message is UTF-8.
class ELoaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TAddonCommand {
    std::int32_t id = 0;
    std::string name, caption, menuPath; // UTF-8
};

struct TAddonDescription {
    GUID classId{};
    std::string name, caption; // UTF-8
    std::int32_t value = 0;
    std::int32_t reserved = 0;
    std::vector<TAddonCommand> commands;
};

// One add-on object obtained from its module's class factory.
class TAddon {
public:
    explicit TAddon(TComPtr<IQmAddOn> addon) : m_addon(std::move(addon)) {}
    // GetInfo and GetMacros. Throws ELoaderError when either fails.
    TAddonDescription Describe();
    HRESULT Initialize(IUnknown* manager) { return m_addon->Initialize(manager); }
    HRESULT Execute(std::int32_t commandId) { return m_addon->ExecuteMacro(commandId, 0); }
    HRESULT Finalize() { return m_addon->Finalize(); }
    IQmAddOn* Get() const { return m_addon.Get(); }

private:
    TComPtr<IQmAddOn> m_addon;
};

// A loaded module. Add-on objects must be released before the module goes; a module that still
// has live objects (DllCanUnloadNow answers S_FALSE) stays loaded, as COM leaves it.
class TAddonModule {
public:
    // Loads the module by its full path. Throws ELoaderError.
    explicit TAddonModule(const std::filesystem::path& file);
    ~TAddonModule();
    TAddonModule(const TAddonModule&) = delete;
    TAddonModule& operator=(const TAddonModule&) = delete;

    const std::filesystem::path& File() const { return m_file; }

    HRESULT RegisterAddOn(const char* id, bool active);
    HRESULT RegisterServer();
    HRESULT UnregisterServer();
    HRESULT CanUnloadNow();
    // The add-on of a class id through DllGetClassObject and the factory's CreateInstance.
    TAddon Create(const GUID& classId);

private:
    std::filesystem::path m_file;
    std::unique_ptr<TDynamicLibrary> m_library;
    QmDllRegisterAddOnFn m_registerAddOn = nullptr;
    DllGetClassObjectFn m_getClassObject = nullptr;
    DllCanUnloadNowFn m_canUnloadNow = nullptr;
    DllRegisterServerFn m_registerServer = nullptr;
    DllUnregisterServerFn m_unregisterServer = nullptr;
};

// An add-on as the registry lists it.
struct TRegisteredAddon {
    GUID classId{};
    std::string caption; // UTF-8
    bool active = false;
    std::filesystem::path module; // from the class id's InprocServer32; empty when missing
};

// Every add-on under "\Software\Tesmo\GIS\AddOns" of the registry store in force.
std::vector<TRegisteredAddon> RegisteredAddons();
// The registered class ids whose InprocServer32 names this module file.
std::vector<GUID> ClassIdsOfModule(const std::filesystem::path& module);
// Removes the host's add-on key of a class id (the module's DllUnregisterServer leaves it).
void RemoveAddonKey(const GUID& classId);

// The registry path of the host's add-on list.
inline constexpr const char* kAddOnsKey = "\\Software\\Tesmo\\GIS\\AddOns";

} // namespace kavrohost
