#include "dynamic_library.h"

#include <dlfcn.h>

std::unique_ptr<TDynamicLibrary> TDynamicLibrary::Load(const std::filesystem::path& file,
                                                       std::string* error) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* msg = ::dlerror();
            *error = msg ? msg : "cannot load " + file.string();
        }
        return nullptr;
    }
    return std::unique_ptr<TDynamicLibrary>(new TDynamicLibrary(handle, file));
}

TDynamicLibrary::~TDynamicLibrary() {
    ::dlclose(m_handle);
}

void* TDynamicLibrary::Symbol(const char* name) const {
    return ::dlsym(m_handle, name);
}

std::filesystem::path TDynamicLibrary::FileOfAddress(const void* address) {
    Dl_info info{};
    if (::dladdr(address, &info) && info.dli_fname)
        return std::filesystem::absolute(info.dli_fname);
    return {};
}
