// TDynamicLibrary on Windows: LoadLibraryW with the library's wide path.
#include "platform/dynamic_library.h"

#include "platform/com/types.h"

namespace {

std::string LoaderMessage(DWORD error) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = buffer ? std::string(buffer, length) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(error) : text;
}

} // namespace

std::unique_ptr<TDynamicLibrary> TDynamicLibrary::Load(const std::filesystem::path& file,
                                                       std::string* error) {
    // The library's own folder is searched for what it needs, before the system's folders.
    HMODULE handle = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!handle) {
        if (error)
            *error = LoaderMessage(GetLastError());
        return nullptr;
    }
    return std::unique_ptr<TDynamicLibrary>(new TDynamicLibrary(handle, file));
}

TDynamicLibrary::~TDynamicLibrary() {
    FreeLibrary(static_cast<HMODULE>(m_handle));
}

void* TDynamicLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

std::filesystem::path TDynamicLibrary::FileOfAddress(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const wchar_t*>(address), &module))
        return {};
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name);
        }
        name.resize(name.size() * 2);
    }
}
