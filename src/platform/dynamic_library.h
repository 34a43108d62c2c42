// A dynamic library loaded at run time (dlopen here, LoadLibrary on Windows).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

class TDynamicLibrary {
public:
    // Loads the library; nullptr and the loader's message in error when it fails.
    static std::unique_ptr<TDynamicLibrary> Load(const std::filesystem::path& file,
                                                 std::string* error = nullptr);
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    // The address of an exported symbol, or nullptr.
    [[nodiscard]] void* Symbol(const char* name) const;
    template <class F> [[nodiscard]] F Function(const char* name) const {
        return reinterpret_cast<F>(Symbol(name));
    }
    const std::filesystem::path& File() const { return m_file; }

    // The file of the loaded module that holds the given address (for a module to find its
    // own path); empty when unknown.
    static std::filesystem::path FileOfAddress(const void* address);

private:
    TDynamicLibrary(void* handle, std::filesystem::path file)
        : m_handle(handle), m_file(std::move(file)) {}
    void* m_handle;
    std::filesystem::path m_file;
};
