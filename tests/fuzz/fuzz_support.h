// What the fuzz targets share: a property check that stops the run, the input split into a
// few option bytes and the rest, and a scratch file for readers that take a file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

// A property that must hold for every input; a violation aborts, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property violated: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// The input as bytes: options are taken from its front (0 once it is used up), the rest is the
// text under test.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* data, std::size_t size)
        : m_text(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t TakeByte() {
        if (m_text.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_text.front());
        m_text.remove_prefix(1);
        return b;
    }
    std::string_view Rest() const { return m_text; }

private:
    std::string_view m_text;
};

// A file of this process in a memory-backed folder where there is one; each input overwrites it.
inline std::filesystem::path ScratchFile(const char* extension) {
    std::error_code ec;
    std::filesystem::path folder = "/dev/shm";
    if (!std::filesystem::is_directory(folder, ec))
        folder = std::filesystem::temp_directory_path();
    return folder / ("ti-fuzz-" + std::to_string(::getpid()) + extension);
}

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    FUZZ_CHECK(out.good());
}
