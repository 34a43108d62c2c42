// Runs the kavro-host binary from a test and keeps what it wrote.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

struct THostRun {
    int code;
    std::string out, err;
};

inline std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a binary of the host's folder. Output goes through files in `dir`. `prefix` comes before
// the binary: environment settings, or a wrapper such as xvfb-run. A binary killed by a signal
// (an uncaught exception aborts) gives code -1.
inline THostRun RunHostBinary(const std::filesystem::path& dir, const std::string& binary,
                              const std::string& arguments, const std::string& prefix = "") {
    // Sanitizer builds: what Qt keeps until exit is not ours to report.
    const std::string command =
        "LSAN_OPTIONS=suppressions='" TI_SOURCE_DIR "/tests/host/qt_leaks.supp' " + prefix +
        " '" TI_BIN_DIR "/" + binary + "' " + arguments + " >'" + (dir / "out.txt").string() +
        "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir / "out.txt"),
            ReadAll(dir / "err.txt")};
}

inline THostRun RunKavroHost(const std::filesystem::path& dir, const std::string& arguments,
                             const std::string& prefix = "") {
    return RunHostBinary(dir, "kavro-host", arguments, prefix);
}
