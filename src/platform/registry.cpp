#include "registry.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

// A name or value as a quoted string of the file (UTF-8): backslash and quote are escaped, and so
// is every control character, so that one entry always stays on one line of the file.
std::string Quoted(std::string_view ansiText) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : AnsiToUtf8(ansiText)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + '"';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads a quoted string starting at pos (at the opening quote); returns the UTF-8 text and
// moves pos past the closing quote. "\n", "\r" and "\xHH" stand for their characters; a
// backslash before any other character keeps that character (files written before the control
// characters were escaped read the same).
bool ReadQuoted(const std::string& line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '\\' && pos + 1 < line.size()) {
            const char e = line[++pos];
            if (e == 'n') {
                out += '\n';
            } else if (e == 'r') {
                out += '\r';
            } else if (e == 'x' && pos + 2 < line.size() && HexValue(line[pos + 1]) >= 0 &&
                       HexValue(line[pos + 2]) >= 0) {
                out += static_cast<char>(HexValue(line[pos + 1]) * 16 + HexValue(line[pos + 2]));
                pos += 2;
            } else {
                out += e;
            }
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

// A key line: "[path]" as in a .reg file, or "["quoted path"]" when the path holds a control
// character (a key named by an add-on id may hold anything but a backslash) or starts with a
// quote, which the plain form would read back as a quoted path.
std::string KeyLine(std::string_view ansiPath) {
    const bool plain = (ansiPath.empty() || ansiPath.front() != '"') &&
                       std::none_of(ansiPath.begin(), ansiPath.end(), [](char c) {
                           return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                       });
    return plain ? "[" + AnsiToUtf8(ansiPath) + "]" : "[" + Quoted(ansiPath) + "]";
}

// The path of a key line, UTF-8; false when the line is not one.
bool ReadKeyLine(const std::string& line, std::string& path) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    if (line.size() >= 4 && line[1] == '"') {
        std::size_t pos = 1;
        if (ReadQuoted(line, pos, path) && pos == line.size() - 1)
            return true;
    }
    path = line.substr(1, line.size() - 2);
    return true;
}

AnsiString Normalize(std::string_view key) {
    AnsiString out;
    bool sep = true;
    for (char c : key) {
        if (c == '\\' || c == '/') {
            sep = true;
            continue;
        }
        if (sep && !out.empty())
            out += '\\';
        sep = false;
        out += c;
    }
    return out;
}

} // namespace

fs::path TRegistryStore::DefaultPath() {
    if (const char* env = std::getenv("TEXTIMPORT_REGISTRY"); env && *env)
        return env;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "textimport" / "registry.reg";
    return fs::path("textimport-registry.reg");
}

TRegistryStore::TRegistryStore(fs::path file) : m_file(std::move(file)) {
    Load();
}

AnsiString TRegistryStore::FullPath(TRegistryRoot root, std::string_view key) {
    AnsiString path =
        root == TRegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CLASSES_ROOT";
    const AnsiString rest = Normalize(key);
    if (!rest.empty())
        path += "\\" + rest;
    return path;
}

AnsiString TRegistryStore::Fold(std::string_view path) {
    AnsiString out(path);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return out;
}

TRegistryStore::TKey& TRegistryStore::Ensure(const AnsiString& fullPath) {
    // Parents first, so that every key of the path exists.
    std::size_t pos = fullPath.find('\\');
    while (true) {
        const AnsiString part = pos == AnsiString::npos ? fullPath : fullPath.substr(0, pos);
        const AnsiString folded = Fold(part);
        if (!m_index.count(folded)) {
            m_index[folded] = m_keys.size();
            m_keys.push_back(TKey{part, {}});
        }
        if (pos == AnsiString::npos)
            return m_keys[m_index[folded]];
        pos = fullPath.find('\\', pos + 1);
    }
}

void TRegistryStore::CreateKey(TRegistryRoot root, std::string_view key) {
    Ensure(FullPath(root, key));
    Save();
}

void TRegistryStore::WriteString(TRegistryRoot root, std::string_view key, std::string_view name,
                                 std::string_view value) {
    TKey& k = Ensure(FullPath(root, key));
    const AnsiString folded = Fold(name);
    auto it = std::find_if(k.values.begin(), k.values.end(),
                           [&](const auto& v) { return Fold(v.first) == folded; });
    if (it != k.values.end())
        it->second = AnsiString(value);
    else
        k.values.emplace_back(AnsiString(name), AnsiString(value));
    Save();
}

bool TRegistryStore::KeyExists(TRegistryRoot root, std::string_view key) const {
    return m_index.count(Fold(FullPath(root, key))) != 0;
}

std::optional<AnsiString> TRegistryStore::ReadString(TRegistryRoot root, std::string_view key,
                                                     std::string_view name) const {
    auto it = m_index.find(Fold(FullPath(root, key)));
    if (it == m_index.end())
        return std::nullopt;
    const AnsiString folded = Fold(name);
    for (const auto& [n, v] : m_keys[it->second].values)
        if (Fold(n) == folded)
            return v;
    return std::nullopt;
}

std::vector<AnsiString> TRegistryStore::SubKeys(TRegistryRoot root, std::string_view key) const {
    const AnsiString prefix = Fold(FullPath(root, key)) + "\\";
    std::vector<AnsiString> out;
    for (const TKey& k : m_keys) {
        const AnsiString folded = Fold(k.path);
        if (folded.size() > prefix.size() && folded.compare(0, prefix.size(), prefix) == 0 &&
            folded.find('\\', prefix.size()) == AnsiString::npos)
            out.push_back(k.path.substr(prefix.size()));
    }
    return out;
}

bool TRegistryStore::DeleteKey(TRegistryRoot root, std::string_view key) {
    const AnsiString folded = Fold(FullPath(root, key));
    auto it = m_index.find(folded);
    if (it == m_index.end())
        return false;
    if (!SubKeys(root, key).empty())
        throw ERegistryError("registry key has subkeys: " + AnsiToUtf8(FullPath(root, key)));
    m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(it->second));
    m_index.clear();
    for (std::size_t i = 0; i < m_keys.size(); ++i)
        m_index[Fold(m_keys[i].path)] = i;
    Save();
    return true;
}

void TRegistryStore::Load() {
    std::error_code ec;
    if (!fs::exists(m_file, ec))
        return;
    // A pipe in its place would keep the module waiting for a writer, a folder fails later.
    if (!fs::is_regular_file(m_file, ec))
        throw ERegistryError("the registry store " + m_file.string() + " is not a regular file");
    std::ifstream in(m_file, std::ios::binary);
    if (!in)
        throw ERegistryError("cannot read the registry store " + m_file.string());
    std::string line;
    TKey* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line == kHeader || line[0] == ';')
            continue;
        if (std::string path; ReadKeyLine(line, path)) {
            // A path as a key call would have it ("\\" or "/" between levels, none at the ends),
            // so that every key of the file can be reached; a line without a key name starts
            // nothing, and the values after it are skipped.
            const AnsiString normal = Normalize(Utf8ToAnsi(path));
            current = normal.empty() ? nullptr : &Ensure(normal);
            continue;
        }
        if (!current)
            continue;
        std::size_t pos = 0;
        std::string name, value;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=')
            continue;
        ++pos;
        if (!ReadQuoted(line, pos, value))
            continue;
        current->values.emplace_back(Utf8ToAnsi(name), Utf8ToAnsi(value));
    }
}

void TRegistryStore::Save() const {
    std::ostringstream text;
    text << kHeader << "\n";
    for (const TKey& k : m_keys) {
        text << "\n" << KeyLine(k.path) << "\n";
        for (const auto& [name, value] : k.values)
            text << (name.empty() ? std::string("@") : Quoted(name)) << "=" << Quoted(value)
                 << "\n";
    }
    std::error_code ec;
    if (m_file.has_parent_path())
        fs::create_directories(m_file.parent_path(), ec);
    fs::path temp = m_file;
    temp += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.flush();
        if (!out) {
            fs::remove(temp, ec);
            throw ERegistryError("cannot write the registry store " + m_file.string());
        }
    }
    fs::rename(temp, m_file, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw ERegistryError("cannot write the registry store " + m_file.string());
    }
}
