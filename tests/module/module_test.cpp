// The module as the host sees it: loaded by path, reached only through its five exports and the
// COM objects they hand out.
#include "addon/fake_host.h"
#include "module/module_objects.h"
#include "platform/dynamic_library.h"
#include "platform/registry.h"
#include "support/temp_dir.h"

#include <QtGlobal>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

constexpr const char* kClassIdText = "{27DACE42-8427-11D2-AF21-0020AFDED75D}";

AnsiString Caption() {
    return Ansi("Импорт PTS, SDR, RPT, TEXT файлов");
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Like the host, the test process has Qt loaded for good, so that unloading the module
        // does not unload Qt with it.
        ASSERT_NE(qVersion(), nullptr);
        Load(dir / "registry.reg");
    }
    void TearDown() override { module.reset(); }

    void Load(const std::filesystem::path& registry) {
        module.reset();
        ::setenv("TEXTIMPORT_REGISTRY", registry.c_str(), 1);
        registryFile = registry;
        std::string error;
        module = TDynamicLibrary::Load(kModuleFile, &error);
        ASSERT_TRUE(module) << error;
        registerAddOn = module->Function<QmDllRegisterAddOnFn>("QmDllRegisterAddOn");
        getClassObject = module->Function<DllGetClassObjectFn>("DllGetClassObject");
        canUnloadNow = module->Function<DllCanUnloadNowFn>("DllCanUnloadNow");
        registerServer = module->Function<DllRegisterServerFn>("DllRegisterServer");
        unregisterServer = module->Function<DllUnregisterServerFn>("DllUnregisterServer");
        ASSERT_TRUE(registerAddOn && getClassObject && canUnloadNow && registerServer &&
                    unregisterServer);
    }

    TComPtr<IClassFactory> Factory() { return AddonFactory(getClassObject); }
    TComPtr<IQmAddOn> CreateAddon() { return ::CreateAddon(getClassObject); }
    TRegistryStore Registry() const { return TRegistryStore(registryFile); }

    // Declared before the module, so they outlive it: the module releases them at unload.
    TTempDir dir;
    TFakeHost host;
    std::filesystem::path registryFile;
    std::unique_ptr<TDynamicLibrary> module;
    QmDllRegisterAddOnFn registerAddOn = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
    DllRegisterServerFn registerServer = nullptr;
    DllUnregisterServerFn unregisterServer = nullptr;
};

TEST_F(ModuleTest, RegisterAddOnWritesTheAddonKey) {
    const AnsiString addOnsKey = "\\Software\\Tesmo\\GIS\\AddOns\\" + std::string(kClassIdText);
    const AnsiString appliedKey =
        "\\Software\\Tesmo\\GIS\\AppliedAddOns\\X\\" + std::string(kClassIdText);
    const struct {
        const char* id;
        BOOL active;
        AnsiString key;
    } cases[] = {
        {nullptr, 1, addOnsKey},
        {"", 0, addOnsKey},
        {"X", 1, appliedKey},
        {"X\\", 0, appliedKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id ? c.id : "(null)");
        ASSERT_EQ(registerAddOn(c.id, c.active), S_OK);
        const TRegistryStore registry = Registry();
        EXPECT_EQ(registry.ReadString(TRegistryRoot::LocalMachine, c.key, ""), Caption());
        EXPECT_EQ(registry.ReadString(TRegistryRoot::LocalMachine, c.key, "Active"),
                  c.active ? "1" : "0");
    }
    const TRegistryStore registry = Registry();
    EXPECT_EQ(registry.SubKeys(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AppliedAddOns"),
              std::vector<AnsiString>{"X"});
    EXPECT_EQ(
        registry.SubKeys(TRegistryRoot::LocalMachine, "Software\\Tesmo\\GIS\\AppliedAddOns\\X"),
        std::vector<AnsiString>{kClassIdText});
    EXPECT_FALSE(registry.KeyExists(TRegistryRoot::ClassesRoot, "CLSID")) << "the add-on keys only";
}

TEST_F(ModuleTest, RegistrationFailsWhenTheStoreCannotBeWritten) {
    // A store below a regular file cannot be created, not even by root.
    const auto blocker = dir / "plain-file";
    std::ofstream(blocker) << "x";
    Load(blocker / "registry.reg");
    EXPECT_EQ(registerAddOn(nullptr, 1), E_FAIL);
    EXPECT_EQ(registerAddOn("X", 0), E_FAIL);
    EXPECT_EQ(registerServer(), E_FAIL);
}

TEST_F(ModuleTest, RegisterServerWritesTheClassKeys) {
    ASSERT_EQ(registerAddOn(nullptr, 1), S_OK);
    ASSERT_EQ(registerServer(), S_OK);
    const AnsiString classKey = "CLSID\\" + std::string(kClassIdText);
    {
        const TRegistryStore registry = Registry();
        EXPECT_EQ(registry.ReadString(TRegistryRoot::ClassesRoot, classKey, ""), Caption());
        EXPECT_EQ(
            registry.ReadString(TRegistryRoot::ClassesRoot, classKey + "\\InprocServer32", ""),
            std::filesystem::absolute(kModuleFile).string());
        EXPECT_EQ(registry.ReadString(TRegistryRoot::ClassesRoot, classKey + "\\InprocServer32",
                                      "ThreadingModel"),
                  std::nullopt);
        EXPECT_EQ(registry.SubKeys(TRegistryRoot::ClassesRoot, classKey),
                  std::vector<AnsiString>{"InprocServer32"})
            << "no ProgID";
    }
    ASSERT_EQ(unregisterServer(), S_OK);
    const TRegistryStore registry = Registry();
    EXPECT_FALSE(registry.KeyExists(TRegistryRoot::ClassesRoot, classKey));
    EXPECT_TRUE(registry.KeyExists(TRegistryRoot::LocalMachine,
                                   "Software\\Tesmo\\GIS\\AddOns\\" + std::string(kClassIdText)))
        << "the add-on list keys stay";
}

TEST_F(ModuleTest, ClassObjectOnlyForTheAddonClass) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(IID_IQmAddOn, IID_IClassFactory, &object),
              static_cast<HRESULT>(0x80040111));
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(kAddonClassId, IID_IQmAddOn, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    TComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    TComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(host.Unknown(), IID_IUnknown, aggregated.PutVoid()),
              CLASS_E_NOAGGREGATION);
}

TEST_F(ModuleTest, GetInfoFillsTheDescriptor) {
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    unsigned char buffer[120];
    std::memset(buffer, 0xCD, sizeof buffer);
    ASSERT_EQ(addon->GetInfo(reinterpret_cast<TQmAddonInfo*>(buffer)), S_OK);

    const unsigned char classId[16] = {0x42, 0xCE, 0xDA, 0x27, 0x27, 0x84, 0xD2, 0x11,
                                       0xAF, 0x21, 0x00, 0x20, 0xAF, 0xDE, 0xD7, 0x5D};
    EXPECT_EQ(std::memcmp(buffer, classId, 16), 0);
    const auto field = [&](std::size_t offset, std::size_t size, const AnsiString& text) {
        std::string expected(size, '\0');
        expected[0] = static_cast<char>(text.size());
        expected.replace(1, text.size(), text);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer) + offset, size), expected);
    };
    field(16, 32, "TextImport");
    field(48, 64, Caption());
    std::int32_t value = -1, reserved = -1;
    std::memcpy(&value, buffer + 112, 4);
    std::memcpy(&reserved, buffer + 116, 4);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(reserved, 260);

    EXPECT_EQ(addon->GetInfo(nullptr), E_FAIL);
}

TEST_F(ModuleTest, GetMacrosGivesANewListOfTheThreeCommands) {
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    const struct {
        std::int32_t id;
        const char* name;
        const char* caption;
        const char* menuPath;
    } expected[] = {
        {1, "ImportText", "Импорт текста", "&Сервис\\&Импорт\\Текст..."},
        {2, "ImportPts", "Импорт PTS-файла", "&Сервис\\&Импорт\\PTS-файл..."},
        {3, "ImportSdr", "Импорт SDR-файла", "&Сервис\\&Импорт\\SDR-файл..."},
    };
    TComPtr<IQmMacroAttrsList> lists[2];
    for (auto& list : lists) {
        ASSERT_EQ(addon->GetMacros(list.Put()), S_OK);
        ASSERT_TRUE(list);
        std::int32_t count = 0;
        ASSERT_EQ(list->Count(&count), S_OK);
        ASSERT_EQ(count, 3);
        for (std::int32_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            TQmMacroAttrs attrs;
            std::memset(&attrs, 0xCD, sizeof attrs);
            ASSERT_EQ(list->Get(i, &attrs), S_OK);
            TQmMacroAttrs want{};
            want.id = expected[i].id;
            want.name.Assign(expected[i].name);
            want.caption.Assign(Ansi(expected[i].caption));
            want.menuPath.Assign(Ansi(expected[i].menuPath));
            EXPECT_EQ(std::memcmp(&attrs, &want, sizeof attrs), 0) << "all 236 bytes";
            EXPECT_EQ(attrs.menuPath.Str(), Ansi(expected[i].menuPath));
        }
    }
    EXPECT_NE(lists[0].Get(), lists[1].Get());
    EXPECT_EQ(addon->GetMacros(nullptr), E_FAIL);
}

TEST_F(ModuleTest, CommandsAndNotifications) {
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    ASSERT_EQ(addon->Initialize(host.Unknown()), S_OK);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"application", "owner"}));

    EXPECT_EQ(addon->ExecuteMacro(0, 0), S_OK);
    EXPECT_EQ(addon->ExecuteMacro(4, 0), S_OK);
    EXPECT_TRUE(host.reports.empty());
    EXPECT_EQ(addon->Query(0, nullptr), S_FALSE);
    EXPECT_EQ(addon->Notify(1, 2), S_OK);

    // Every command reaches its wizard, whose set-up needs the application object that this
    // host does not serve: the failure is reported and the wizard freed.
    for (const std::int32_t id : {1, 2, 3}) {
        SCOPED_TRACE(id);
        host.reports.clear();
        EXPECT_EQ(addon->ExecuteMacro(id, 0), E_FAIL);
        ASSERT_EQ(host.reports.size(), 1u);
        EXPECT_EQ(host.reports[0].message, Ansi("Программа не предоставляет объект приложения"));
    }

    EXPECT_EQ(addon->Notify(0, 0), S_OK) << "the add-on stays usable";

    // The list reports its own failures, under its own source.
    TComPtr<IQmMacroAttrsList> list;
    ASSERT_EQ(addon->GetMacros(list.Put()), S_OK);
    host.reports.clear();
    TQmMacroAttrs attrs;
    EXPECT_EQ(list->Get(3, &attrs), E_FAIL);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0].source, Ansi("Список макросов"));

    EXPECT_EQ(addon->Finalize(), S_OK);
    EXPECT_EQ(host.References(), 1u);
}

TEST_F(ModuleTest, InitializeWithoutPreferencesKeepsEarlierInterfacesUntilFinalize) {
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    host.missing = {IID_IQmPreferences};
    EXPECT_EQ(addon->Initialize(host.Unknown()), E_FAIL);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0].source, Caption());
    EXPECT_EQ(host.reports[0].message, "Interface not supported");
    EXPECT_EQ(host.References(), 1u + 7u) << "the sink and the six holders before it";
    EXPECT_TRUE(host.calls.empty()) << "no host window asked for";
    EXPECT_EQ(addon->Finalize(), S_OK);
    EXPECT_EQ(host.References(), 1u);

    EXPECT_EQ(addon->Initialize(nullptr), E_FAIL);
    EXPECT_EQ(host.reports.size(), 1u) << "no sink, nothing reported";
}

TEST_F(ModuleTest, ReportedMessagesAreCutTo255Characters) {
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    host.applicationWindowResult = E_FAIL;
    host.lastMessage = std::string(200, 'm');
    host.lastSource = std::string(200, 's');
    EXPECT_EQ(addon->Initialize(host.Unknown()), E_FAIL);
    ASSERT_EQ(host.reports.size(), 1u);
    const std::string full = host.lastMessage + ". [" + host.lastSource + "]";
    EXPECT_EQ(host.reports[0].message, full.substr(0, 255));
    EXPECT_EQ(addon->Finalize(), S_OK);
}

TEST_F(ModuleTest, CanUnloadOnlyWithoutLiveObjectsOrLocks) {
    EXPECT_EQ(canUnloadNow(), S_OK);
    TComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(canUnloadNow(), S_OK) << "a factory reference alone does not hold the module";

    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    TComPtr<IQmMacroAttrsList> list;
    ASSERT_EQ(addon->GetMacros(list.Put()), S_OK);
    addon.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the command list is a live object too";
    list.Reset();
    EXPECT_EQ(canUnloadNow(), S_OK);

    ASSERT_EQ(factory->LockServer(1), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    ASSERT_EQ(factory->LockServer(0), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(ModuleTest, UnloadReleasesWhatTheAddonHeld) {
    {
        TComPtr<IQmAddOn> addon = CreateAddon();
        ASSERT_TRUE(addon);
        ASSERT_EQ(addon->Initialize(host.Unknown()), S_OK);
    }
    EXPECT_GT(host.References(), 1u);
    module.reset(); // the host never called Finalize
    EXPECT_EQ(host.References(), 1u);

    // A fresh load starts from a clean state.
    Load(registryFile);
    EXPECT_EQ(canUnloadNow(), S_OK);
    TComPtr<IQmAddOn> addon = CreateAddon();
    ASSERT_TRUE(addon);
    EXPECT_EQ(addon->Initialize(host.Unknown()), S_OK);
    EXPECT_EQ(addon->Finalize(), S_OK);
}

} // namespace
