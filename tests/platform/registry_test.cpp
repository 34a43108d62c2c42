#include "platform/registry.h"
#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

TEST(RegistryStore, WritesAndReadsBackThroughTheFile) {
    TTempDir dir;
    const auto file = dir / "reg.reg";
    {
        TRegistryStore reg(file);
        reg.WriteString(TRegistryRoot::LocalMachine, "\\Software\\Tesmo\\GIS\\AddOns\\{X}", "",
                        Ansi("Импорт \"файлов\""));
        reg.WriteString(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AddOns\\{X}", "Active",
                        "1");
    }
    TRegistryStore reg(file);
    EXPECT_TRUE(reg.KeyExists(TRegistryRoot::LocalMachine, "software\\tesmo"));
    EXPECT_FALSE(reg.KeyExists(TRegistryRoot::ClassesRoot, "Software"));
    EXPECT_EQ(reg.ReadString(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AddOns\\{X}", ""),
              Ansi("Импорт \"файлов\""));
    EXPECT_EQ(
        reg.ReadString(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AddOns\\{x}", "active"),
        "1");
    EXPECT_EQ(reg.SubKeys(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AddOns"),
              std::vector<AnsiString>{"{X}"});
}

// An add-on id is part of a key path and anything may be in it: what is written reads back
// exactly from the file and makes no keys of its own. A backslash separates keys, as in the
// registry itself.
TEST(RegistryStore, NamesAndValuesRoundTripThroughTheFile) {
    TTempDir dir;
    const auto file = dir / "reg.reg";
    const AnsiString id = "x]\n[HKEY_CLASSES_ROOT\\Evil]\r\n@=\"1\"\r";
    const AnsiString key = "Software\\Tesmo\\GIS\\AppliedAddOns\\" + id + "\\{X}";
    const AnsiString value = "a]\n[HKEY_CLASSES_ROOT\\Evil2]\n\"Active\"=\"1\"\\\r" + Ansi("ё");
    const AnsiString name = "n]\n\\\"" + Ansi("имя");
    {
        TRegistryStore reg(file);
        reg.WriteString(TRegistryRoot::LocalMachine, key, "", value);
        reg.WriteString(TRegistryRoot::LocalMachine, key, name, "1");
    }
    TRegistryStore reg(file);
    EXPECT_EQ(reg.ReadString(TRegistryRoot::LocalMachine, key, ""), value);
    EXPECT_EQ(reg.ReadString(TRegistryRoot::LocalMachine, key, name), "1");
    EXPECT_EQ(reg.SubKeys(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AppliedAddOns"),
              std::vector<AnsiString>{"x]\n[HKEY_CLASSES_ROOT"});
    EXPECT_FALSE(reg.KeyExists(TRegistryRoot::ClassesRoot, "")) << "no key of HKEY_CLASSES_ROOT";
    EXPECT_FALSE(reg.ReadString(TRegistryRoot::LocalMachine, key, "Active"));
}

// A hand-edited file may separate levels by "/" or doubled backslashes: its keys are the keys
// that the calls name, and the file is written in the calls' form.
TEST(RegistryStore, KeyPathsOfTheFileAreReadAsCallsNameThem) {
    TTempDir dir;
    const auto file = dir / "reg.reg";
    {
        std::ofstream out(file, std::ios::binary);
        out << "[HKEY_LOCAL_MACHINE\\\\Software//A\\]\n\"v\"=\"1\"\n[]\n\"lost\"=\"2\"\n";
    }
    TRegistryStore reg(file);
    EXPECT_EQ(reg.SubKeys(TRegistryRoot::LocalMachine, ""), std::vector<AnsiString>{"Software"});
    EXPECT_EQ(reg.SubKeys(TRegistryRoot::LocalMachine, "Software"), std::vector<AnsiString>{"A"});
    EXPECT_EQ(reg.ReadString(TRegistryRoot::LocalMachine, "Software\\A", "v"), "1");
    reg.CreateKey(TRegistryRoot::ClassesRoot, "B");
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\A]\n\"v\"=\"1\"\n"), std::string::npos);
    EXPECT_EQ(text.find("[]"), std::string::npos);
    EXPECT_EQ(text.find("lost"), std::string::npos);
}

// A key of a hand-edited file whose first level is in quotes keeps its name through saves.
TEST(RegistryStore, AKeyThatStartsWithAQuoteKeepsItsName) {
    TTempDir dir;
    const auto file = dir / "reg.reg";
    const auto saved = [&] {
        TRegistryStore(file).CreateKey(TRegistryRoot::ClassesRoot, "B");
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    std::ofstream(file, std::ios::binary) << "[\"Q\"\\R]\n\"v\"=\"1\"\n";
    const std::string first = saved();
    EXPECT_NE(first.find("[\"\\\"Q\\\"\"]\n"), std::string::npos) << first;
    EXPECT_EQ(saved(), first);
}

TEST(RegistryStore, DeletesOnlyLeafKeys) {
    TTempDir dir;
    TRegistryStore reg(dir / "reg.reg");
    reg.CreateKey(TRegistryRoot::ClassesRoot, "CLSID\\{A}\\InprocServer32");
    EXPECT_THROW(reg.DeleteKey(TRegistryRoot::ClassesRoot, "CLSID\\{A}"), ERegistryError);
    EXPECT_TRUE(reg.DeleteKey(TRegistryRoot::ClassesRoot, "CLSID\\{A}\\InprocServer32"));
    EXPECT_TRUE(reg.DeleteKey(TRegistryRoot::ClassesRoot, "CLSID\\{A}"));
    EXPECT_FALSE(reg.DeleteKey(TRegistryRoot::ClassesRoot, "CLSID\\{A}"));
    EXPECT_FALSE(
        TRegistryStore(dir / "reg.reg").KeyExists(TRegistryRoot::ClassesRoot, "CLSID\\{A}"));
}

TEST(RegistryStore, AnUnwritableStoreIsAFailure) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere";
    TTempDir dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    TRegistryStore reg(dir / "reg.reg");
    EXPECT_THROW(reg.CreateKey(TRegistryRoot::LocalMachine, "Software"), ERegistryError);
}

TEST(RegistryStore, AStoreBehindAFileIsAFailureEvenForRoot) {
    TTempDir dir;
    { std::ofstream(dir / "blocker") << "x"; }
    TRegistryStore reg(dir / "blocker" / "reg.reg");
    EXPECT_THROW(reg.CreateKey(TRegistryRoot::LocalMachine, "Software"), ERegistryError);
}

TEST(RegistryStore, AStoreThatIsNoRegularFileIsRefusedWithoutWaiting) {
    TTempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.reg").c_str(), 0600), 0);
    EXPECT_THROW(TRegistryStore(dir / "pipe.reg"), ERegistryError);
    EXPECT_THROW(TRegistryStore(dir.Path()), ERegistryError);
}
