// The registry store's file: the text form of a .reg export.
#include "fuzz_support.h"

#include "platform/registry.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {
std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void CollectKeys(const TRegistryStore& store, TRegistryRoot root, const AnsiString& key,
                 std::vector<AnsiString>& keys, int depth) {
    if (depth > 64)
        return;
    for (const AnsiString& sub : store.SubKeys(root, key)) {
        const AnsiString path = key.empty() ? sub : key + "\\" + sub;
        keys.push_back(path);
        FUZZ_CHECK(store.KeyExists(root, path));
        CollectKeys(store, root, path, keys, depth + 1);
    }
}

std::vector<AnsiString> AllKeys(const TRegistryStore& store) {
    std::vector<AnsiString> keys;
    CollectKeys(store, TRegistryRoot::LocalMachine, "", keys, 0);
    keys.push_back("--");
    CollectKeys(store, TRegistryRoot::ClassesRoot, "", keys, 0);
    return keys;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file = ScratchFile(".reg");
    WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<AnsiString> keys;
    {
        TRegistryStore store(file);
        keys = AllKeys(store);
        // A change writes the whole store.
        store.WriteString(TRegistryRoot::LocalMachine, "Software\\Fuzz", "Name", "Value");
    }
    const std::string written = ReadWholeFile(file);
    // What was written reads back: the same keys, the value just written, and the same file
    // after the same change.
    TRegistryStore reread(file);
    std::vector<AnsiString> rereadKeys = AllKeys(reread);
    FUZZ_CHECK(reread.ReadString(TRegistryRoot::LocalMachine, "Software\\Fuzz", "Name") ==
               AnsiString("Value"));
    reread.WriteString(TRegistryRoot::LocalMachine, "Software\\Fuzz", "Name", "Value");
    FUZZ_CHECK(ReadWholeFile(file) == written);
    for (const AnsiString& key : keys)
        FUZZ_CHECK(std::find(rereadKeys.begin(), rereadKeys.end(), key) != rereadKeys.end());
    return 0;
}
