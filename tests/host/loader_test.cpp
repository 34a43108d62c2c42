#include "host/core/host_session.h"
#include "host/loader/addon_module.h"
#include "registry_env.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <QtGlobal>
#include <gtest/gtest.h>

using namespace kavrohost;

namespace {

// Like a host, the test process keeps Qt loaded for good: an add-on that brings it in would
// otherwise unload it again with itself, and some of Qt's own dependencies (libgomp through
// libb2) leave a block behind when they are unloaded.
const bool kQtStaysLoaded = qVersion() != nullptr;
constexpr GUID kTestClassId = MakeGuid("{9A7E2C11-5B0D-4F3A-8E21-6C4D2B1A0F31}");
} // namespace

TEST(AddonLoader, RegistersAndFindsTheAddOnThroughTheRegistry) {
    TTempDir dir;
    TRegistryEnv env(dir / "registry.reg");
    {
        TAddonModule module(TEST_ADDON_PATH);
        ASSERT_EQ(module.RegisterAddOn(nullptr, true), S_OK);
        ASSERT_EQ(module.RegisterServer(), S_OK);
    }
    auto addons = RegisteredAddons();
    ASSERT_EQ(addons.size(), 1u);
    EXPECT_EQ(addons[0].classId, kTestClassId);
    EXPECT_EQ(addons[0].caption, "Тестовое расширение");
    EXPECT_TRUE(addons[0].active);
    EXPECT_EQ(addons[0].module, std::filesystem::canonical(TEST_ADDON_PATH));
    EXPECT_EQ(ClassIdsOfModule(TEST_ADDON_PATH), std::vector<GUID>{kTestClassId});
}

TEST(AddonLoader, RunsACommandAgainstASessionAndShowsWhatTheAddOnReported) {
    TTempDir dir;
    CreateProject(dir / "p.kavro", SmallProjectDescription());
    TAddonModule module(TEST_ADDON_PATH);
    {
        THostSession session(dir / "p.kavro", "/opt/kavro");
        TAddon addon = module.Create(kTestClassId);
        auto d = addon.Describe();
        EXPECT_EQ(d.name, "TestAddon");
        EXPECT_EQ(d.reserved, 260);
        ASSERT_EQ(d.commands.size(), 4u);
        EXPECT_EQ(d.commands[0].menuPath, "&Сервис\\&Тест\\Точка...");
        ASSERT_EQ(addon.Initialize(session.Manager()), S_OK);
        EXPECT_EQ(addon.Execute(1), S_OK);
        EXPECT_LT(addon.Execute(2), 0);
        EXPECT_EQ(addon.Finalize(), S_OK);
        ASSERT_EQ(session.ReportedErrors().size(), 1u);
        EXPECT_EQ(session.ReportedErrors()[0].message, "Сбой команды");
        EXPECT_EQ(session.ReportedErrors()[0].source, "Тестовое расширение");
        EXPECT_EQ(session.CommitCount(), 1);
        EXPECT_EQ(session.LastShowRect(), (std::array<double, 4>{10, 20, 30, 40}));
    }
    EXPECT_EQ(module.CanUnloadNow(), S_OK); // every reference went back
    auto objects = ReadObjects(dir / "p.kavro");
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].layerId, "L1");
    EXPECT_EQ(objects[0].shapes.at(0).styleId, "S1");
}

// The host's objects and the add-on are separate binaries: the message a failing automation
// method leaves in the thread's error information must reach the add-on's own check of the call
// (one error information per thread in the process, not one per binary).
TEST(AddonLoader, TheHostsErrorTextReachesTheAddOn) {
    TTempDir dir;
    CreateProject(dir / "p.kavro", SmallProjectDescription());
    TAddonModule module(TEST_ADDON_PATH);
    THostSession session(dir / "p.kavro");
    TAddon addon = module.Create(kTestClassId);
    ASSERT_EQ(addon.Initialize(session.Manager()), S_OK);
    EXPECT_LT(addon.Execute(4), 0);
    ASSERT_EQ(session.ReportedErrors().size(), 1u);
    EXPECT_EQ(session.ReportedErrors()[0].message, "Слой \"L9\" не найден");
    EXPECT_EQ(session.ReportedErrors()[0].source, "IKavroMapObjects.Add");
    EXPECT_EQ(addon.Finalize(), S_OK);
}

TEST(AddonLoader, RefusesWhatIsNotAnAddOn) {
    TTempDir dir;
    EXPECT_THROW(TAddonModule(dir / "missing.so"), ELoaderError);
    TAddonModule module(TEST_ADDON_PATH);
    EXPECT_THROW(module.Create(MakeGuid("{00000000-0000-0000-0000-000000000001}")), ELoaderError);
}
