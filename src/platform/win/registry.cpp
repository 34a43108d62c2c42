// TRegistryStore on Windows: the system registry itself (HKEY_LOCAL_MACHINE and
// HKEY_CLASSES_ROOT), one direct call per operation. The store's file is not used.
#include "platform/registry.h"

#include "platform/com/types.h"

#include <string>

namespace {

std::wstring Wide(std::string_view ansiText) {
    const std::u16string text = AnsiToWide(ansiText);
    return std::wstring(text.begin(), text.end());
}

AnsiString Ansi(const wchar_t* text, std::size_t length) {
    return WideToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

HKEY RootKey(TRegistryRoot root) {
    return root == TRegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
}

// The key path without its leading and trailing separators, as the registry functions take it.
std::wstring KeyPath(std::string_view key) {
    while (!key.empty() && (key.front() == '\\' || key.front() == '/'))
        key.remove_prefix(1);
    while (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.remove_suffix(1);
    return Wide(key);
}

AnsiString SystemMessage(LONG error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    AnsiString text = buffer ? Ansi(buffer, length) : AnsiString();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

[[noreturn]] void Fail(std::string_view what, std::string_view key, LONG error) {
    throw ERegistryError(std::string(what) + " \"" + std::string(key) +
                         "\": " + SystemMessage(error));
}

// An open key, closed when it goes.
class TKeyHandle {
public:
    TKeyHandle() = default;
    TKeyHandle(const TKeyHandle&) = delete;
    TKeyHandle& operator=(const TKeyHandle&) = delete;
    ~TKeyHandle() {
        if (m_key)
            RegCloseKey(m_key);
    }
    HKEY* Put() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

void CreateOrOpen(TRegistryRoot root, std::string_view key, TKeyHandle& handle) {
    const LONG error =
        RegCreateKeyExW(RootKey(root), KeyPath(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, handle.Put(), nullptr);
    if (error != ERROR_SUCCESS)
        Fail("Cannot create the registry key", key, error);
}

} // namespace

std::filesystem::path TRegistryStore::DefaultPath() {
    return {};
}

TRegistryStore::TRegistryStore(std::filesystem::path file) : m_file(std::move(file)) {}

void TRegistryStore::CreateKey(TRegistryRoot root, std::string_view key) {
    TKeyHandle handle;
    CreateOrOpen(root, key, handle);
}

void TRegistryStore::WriteString(TRegistryRoot root, std::string_view key, std::string_view name,
                                 std::string_view value) {
    TKeyHandle handle;
    CreateOrOpen(root, key, handle);
    const std::wstring text = Wide(value);
    const LONG error = RegSetValueExW(handle.Get(), name.empty() ? nullptr : Wide(name).c_str(), 0,
                                      REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (error != ERROR_SUCCESS)
        Fail("Cannot write a value of the registry key", key, error);
}

bool TRegistryStore::KeyExists(TRegistryRoot root, std::string_view key) const {
    TKeyHandle handle;
    return RegOpenKeyExW(RootKey(root), KeyPath(key).c_str(), 0, KEY_READ, handle.Put()) ==
           ERROR_SUCCESS;
}

std::optional<AnsiString> TRegistryStore::ReadString(TRegistryRoot root, std::string_view key,
                                                     std::string_view name) const {
    const std::wstring path = KeyPath(key);
    const std::wstring valueName = Wide(name);
    DWORD bytes = 0;
    LONG error = RegGetValueW(RootKey(root), path.c_str(), valueName.c_str(), RRF_RT_REG_SZ,
                              nullptr, nullptr, &bytes);
    if (error != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    error = RegGetValueW(RootKey(root), path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                         text.data(), &bytes);
    if (error != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Ansi(text.c_str(), text.size());
}

std::vector<AnsiString> TRegistryStore::SubKeys(TRegistryRoot root, std::string_view key) const {
    std::vector<AnsiString> names;
    TKeyHandle handle;
    if (RegOpenKeyExW(RootKey(root), KeyPath(key).c_str(), 0, KEY_READ, handle.Put()) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256]; // the longest key name the registry allows, with its terminator
        DWORD length = 256;
        if (RegEnumKeyExW(handle.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(Ansi(name, length));
    }
    return names;
}

bool TRegistryStore::DeleteKey(TRegistryRoot root, std::string_view key) {
    const std::wstring path = KeyPath(key);
    {
        TKeyHandle handle;
        LONG error = RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_READ, handle.Put());
        if (error == ERROR_FILE_NOT_FOUND)
            return false;
        if (error != ERROR_SUCCESS)
            Fail("Cannot open the registry key", key, error);
        DWORD subKeys = 0;
        error = RegQueryInfoKeyW(handle.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (error != ERROR_SUCCESS)
            Fail("Cannot open the registry key", key, error);
        if (subKeys > 0)
            throw ERegistryError("The registry key \"" + std::string(key) + "\" has subkeys");
    }
    const LONG error = RegDeleteKeyW(RootKey(root), path.c_str());
    if (error == ERROR_FILE_NOT_FOUND)
        return false;
    if (error != ERROR_SUCCESS)
        Fail("Cannot delete the registry key", key, error);
    return true;
}
