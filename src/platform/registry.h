// The registry as a file-backed store with the roots HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT.
// The file is in the text form of a .reg export (UTF-8); every change is written at once,
// atomically (temporary file, then rename). A store that cannot be written is a failure.
// Whatever a name or value holds reads back exactly: quoted strings escape backslash, quote and
// control characters ("\n", "\r", "\xHH"), and a key path with a control character is written
// as a quoted string in its brackets, so no entry spans two lines.
// On Windows the same class is the system registry itself (platform/win/registry.cpp): the
// file is not used, and the roots are the real HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT.
#pragma once

#include "codepage.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

enum class TRegistryRoot { LocalMachine, ClassesRoot };

class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRegistryStore {
public:
    // The file named by TEXTIMPORT_REGISTRY, else ~/.config/textimport/registry.reg.
    static std::filesystem::path DefaultPath();

    // Reads the file when it exists; a missing file is an empty registry. Throws
    // ERegistryError when the file exists but cannot be read.
    explicit TRegistryStore(std::filesystem::path file = DefaultPath());

    // Key paths use "\" between levels; leading and trailing separators are ignored and
    // names compare without regard to ASCII letter case, as in the Windows registry.
    // Texts are Windows-1251.

    // Creates the key and its missing parents. Throws ERegistryError if it cannot be stored.
    void CreateKey(TRegistryRoot root, std::string_view key);
    // Writes a string value ("" names the default value), creating the key.
    void WriteString(TRegistryRoot root, std::string_view key, std::string_view name,
                     std::string_view value);
    [[nodiscard]] bool KeyExists(TRegistryRoot root, std::string_view key) const;
    [[nodiscard]] std::optional<AnsiString> ReadString(TRegistryRoot root, std::string_view key,
                                                       std::string_view name) const;
    // The names of the direct subkeys of a key, in the order of the file.
    [[nodiscard]] std::vector<AnsiString> SubKeys(TRegistryRoot root, std::string_view key) const;
    // Deletes a key with its values; false when it does not exist. A key that still has
    // subkeys is not deleted (ERegistryError), as RegDeleteKey refuses it.
    bool DeleteKey(TRegistryRoot root, std::string_view key);

    const std::filesystem::path& File() const { return m_file; }

private:
    struct TKey {
        AnsiString path; // as first created, e.g. "HKEY_LOCAL_MACHINE\Software\..."
        std::vector<std::pair<AnsiString, AnsiString>> values; // name ("" default), value
    };

    static AnsiString FullPath(TRegistryRoot root, std::string_view key);
    static AnsiString Fold(std::string_view path);
    TKey& Ensure(const AnsiString& fullPath);
    void Load();
    void Save() const;

    std::filesystem::path m_file;
    std::vector<TKey> m_keys;                  // file order
    std::map<AnsiString, std::size_t> m_index; // folded path -> position in m_keys
};
