// The registry store on Windows is the system registry: what it writes, RegGetValueW reads back,
// Cyrillic texts included, and a key with subkeys is not deleted.
#include "platform/com/types.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string TestKey() {
    std::random_device rd;
    return "Software\\TextImportTests\\" + std::to_string(rd());
}

std::wstring ReadBack(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t text[256] = {};
    DWORD bytes = sizeof text;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &bytes) !=
        ERROR_SUCCESS)
        return L"<none>";
    return text;
}

std::wstring WideKey(const std::string& key) {
    return std::wstring(key.begin(), key.end());
}

} // namespace

TEST(WindowsRegistry, WritesReadsAndDeletesKeysOfBothRoots) {
    TRegistryStore registry;
    for (TRegistryRoot root : {TRegistryRoot::LocalMachine, TRegistryRoot::ClassesRoot}) {
        SCOPED_TRACE(root == TRegistryRoot::LocalMachine ? "HKLM" : "HKCR");
        const HKEY systemRoot =
            root == TRegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
        const std::string key = TestKey();
        const std::string child = key + "\\{27DACE42-8427-11D2-AF21-0020AFDED75D}";

        registry.WriteString(root, "\\" + child + "\\", "", Ansi("Импорт PTS, SDR"));
        registry.WriteString(root, child, "Active", "1");
        EXPECT_EQ(ReadBack(systemRoot, WideKey(child), nullptr), L"Импорт PTS, SDR");
        EXPECT_EQ(ReadBack(systemRoot, WideKey(child), L"Active"), L"1");
        EXPECT_EQ(registry.ReadString(root, child, ""), Ansi("Импорт PTS, SDR"));
        EXPECT_EQ(registry.ReadString(root, child, "none"), std::nullopt);
        EXPECT_TRUE(registry.KeyExists(root, key));
        EXPECT_EQ(registry.SubKeys(root, key),
                  std::vector<AnsiString>{"{27DACE42-8427-11D2-AF21-0020AFDED75D}"});

        EXPECT_THROW(registry.DeleteKey(root, key), ERegistryError);
        EXPECT_TRUE(registry.DeleteKey(root, child));
        EXPECT_TRUE(registry.DeleteKey(root, key));
        EXPECT_FALSE(registry.KeyExists(root, key));
        EXPECT_FALSE(registry.DeleteKey(root, key));
    }
}
