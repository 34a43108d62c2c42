// Nothing crosses the module's boundary: every export and every method of the objects the module
// hands out, called with null pointers, bad class ids and interface ids, bad indexes and command
// numbers, before Initialize and after Finalize, answers with an HRESULT. A crash ends the test
// binary; an exception that leaves the module fails the test.
#include "host/core/host_session.h"
#include "module/module_objects.h"
#include "platform/dynamic_library.h"
#include "support/point_project.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>

namespace {

constexpr GUID kOtherId = MakeGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");

// The names the module's export map makes global.
std::set<std::string> MappedExports() {
    std::ifstream in(TI_SOURCE_DIR "/src/module/exports.map");
    std::set<std::string> names;
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::string global = text.substr(0, text.find("local:"));
    const std::regex name(R"(([A-Za-z_]\w*)\s*;)");
    for (auto it = std::sregex_iterator(global.begin(), global.end(), name);
         it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

// Any dialog a command opens where none should open is closed and remembered, so that a wrong
// path fails the test instead of waiting for a user.
class TDialogWatch {
public:
    TDialogWatch() {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                opened.push_back(w->objectName().toStdString());
                w->close();
            }
        });
        m_timer.start();
    }
    std::vector<std::string> opened;

private:
    QTimer m_timer;
};

class BoundaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TEXTIMPORT_REGISTRY", (project.dir / "registry.reg").c_str(), 1);
        std::string error;
        library = TDynamicLibrary::Load(kModuleFile, &error);
        ASSERT_TRUE(library) << error;
        getClassObject = library->Function<DllGetClassObjectFn>("DllGetClassObject");
        ASSERT_TRUE(getClassObject);
    }
    void TearDown() override { library.reset(); }

    TComPtr<IClassFactory> Factory() { return AddonFactory(getClassObject); }
    TComPtr<IQmAddOn> Addon() { return CreateAddon(getClassObject); }

    // Every method of the add-on with bad arguments; the commands only where no wizard can
    // open (no host, or a host without the application object).
    void CallEveryAddonMethod(IQmAddOn* addon, bool commands) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(addon->QueryInterface(IID_IQmAddOn, nullptr), E_POINTER);
        EXPECT_EQ(addon->QueryInterface(kOtherId, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(addon->GetInfo(nullptr), E_FAIL);
        EXPECT_EQ(addon->GetMacros(nullptr), E_FAIL);
        for (std::int32_t id : {0, -1, 999, 4}) {
            SCOPED_TRACE(id);
            EXPECT_TRUE(SUCCEEDED(addon->ExecuteMacro(id, -1)));
        }
        if (commands)
            for (std::int32_t id : {1, 2, 3}) {
                SCOPED_TRACE(id);
                EXPECT_EQ(addon->ExecuteMacro(id, 0), E_FAIL);
            }
        EXPECT_TRUE(SUCCEEDED(addon->Notify(-1, 999)));
        for (std::int32_t a : {0, -1, 999})
            EXPECT_TRUE(SUCCEEDED(addon->Query(a, nullptr))) << a;
    }

    TPointProject project;
    std::unique_ptr<TDynamicLibrary> library;
    DllGetClassObjectFn getClassObject = nullptr;
};

TEST_F(BoundaryTest, EveryExportAnswersBadArguments) {
    const std::set<std::string> expected = {"QmDllRegisterAddOn", "DllGetClassObject",
                                            "DllCanUnloadNow", "DllRegisterServer",
                                            "DllUnregisterServer"};
    ASSERT_EQ(MappedExports(), expected);
    for (const std::string& name : expected)
        EXPECT_NE(library->Function<void*>(name.c_str()), nullptr) << name;

    void* object = reinterpret_cast<void*>(1);
    const struct {
        GUID classId;
        IID iid;
        bool out;
        HRESULT result;
    } cases[] = {
        {kOtherId, IID_IClassFactory, true, CLASS_E_CLASSNOTAVAILABLE},
        {kAddonClassId, kOtherId, true, E_NOINTERFACE},
        {kAddonClassId, IID_IQmAddOn, true, E_NOINTERFACE},
        {kAddonClassId, IID_IClassFactory, false, E_POINTER},
        {kOtherId, kOtherId, false, E_POINTER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(getClassObject(c.classId, c.iid, c.out ? &object : nullptr), c.result);
        if (c.out) {
            EXPECT_EQ(object, nullptr);
        }
    }

    const auto registerAddOn = library->Function<QmDllRegisterAddOnFn>("QmDllRegisterAddOn");
    const auto canUnloadNow = library->Function<DllCanUnloadNowFn>("DllCanUnloadNow");
    const auto registerServer = library->Function<DllRegisterServerFn>("DllRegisterServer");
    const auto unregisterServer = library->Function<DllUnregisterServerFn>("DllUnregisterServer");
    const std::string longId(4000, 'x');
    for (const char* id :
         {static_cast<const char*>(nullptr), "", "..\\..\\x", "a\\\\b", "\\", longId.c_str()}) {
        SCOPED_TRACE(id ? id : "(null)");
        const HRESULT hr = registerAddOn(id, 7);
        EXPECT_TRUE(hr == S_OK || hr == E_FAIL) << hr;
    }
    EXPECT_EQ(unregisterServer(), S_OK) << "nothing registered yet";
    EXPECT_EQ(registerServer(), S_OK);
    EXPECT_EQ(registerServer(), S_OK);
    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(BoundaryTest, ClassFactoryAnswersBadArgumentsAndKeepsItsLocksBalanced) {
    const auto canUnloadNow = library->Function<DllCanUnloadNowFn>("DllCanUnloadNow");
    TComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(factory->QueryInterface(kOtherId, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQmAddOn, nullptr), E_POINTER);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, kOtherId, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    TComPtr<IUnknown> outer = TComPtr<IUnknown>(project.session->Manager());
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IQmAddOn, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(canUnloadNow(), S_OK) << "no object left behind by the failed calls";

    // An unlock without a lock is ignored: it must not cancel a later lock.
    EXPECT_EQ(factory->LockServer(0), S_OK);
    EXPECT_EQ(factory->LockServer(1), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(0), S_OK);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(BoundaryTest, AddonAnswersBadCallsBeforeInitializeAndAfterFinalize) {
    TDialogWatch dialogs;
    TComPtr<IQmAddOn> addon = Addon();
    ASSERT_TRUE(addon);
    {
        SCOPED_TRACE("before Initialize");
        CallEveryAddonMethod(addon.Get(), true);
        EXPECT_EQ(addon->Finalize(), S_OK) << "nothing to finalize";
    }
    EXPECT_EQ(addon->Initialize(nullptr), E_FAIL);
    ASSERT_EQ(addon->Initialize(project.session->Manager()), S_OK);
    {
        SCOPED_TRACE("initialized");
        CallEveryAddonMethod(addon.Get(), false);
    }
    ASSERT_EQ(addon->Finalize(), S_OK);
    {
        SCOPED_TRACE("after Finalize");
        CallEveryAddonMethod(addon.Get(), true);
        EXPECT_EQ(addon->Finalize(), S_OK);
    }
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{});
    // Initialising again after Finalize works as the first time.
    EXPECT_EQ(addon->Initialize(project.session->Manager()), S_OK);
    EXPECT_EQ(addon->Finalize(), S_OK);
}

TEST_F(BoundaryTest, CommandListAnswersBadIndexesAndNullPointers) {
    TComPtr<IQmAddOn> addon = Addon();
    ASSERT_TRUE(addon);
    ASSERT_EQ(addon->Initialize(project.session->Manager()), S_OK);
    TComPtr<IQmMacroAttrsList> list;
    ASSERT_EQ(addon->GetMacros(list.Put()), S_OK);
    ASSERT_TRUE(list);

    const auto callEveryMethod = [&] {
        TQmMacroAttrs attrs{};
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(list->QueryInterface(IID_IQmMacroAttrsList, nullptr), E_POINTER);
        EXPECT_EQ(list->QueryInterface(kOtherId, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
        for (std::int32_t index : {-1, 3, 999, std::numeric_limits<std::int32_t>::min()})
            EXPECT_EQ(list->Get(index, &attrs), E_FAIL) << index;
        EXPECT_EQ(list->Get(0, nullptr), E_FAIL);
        EXPECT_EQ(list->Count(nullptr), E_FAIL);
        EXPECT_EQ(list->Insert(-1, nullptr), E_FAIL);
        EXPECT_EQ(list->Insert(999, &attrs), E_FAIL);
        std::int32_t count = -1;
        EXPECT_EQ(list->Count(&count), S_OK);
        EXPECT_EQ(count, 3) << "failed calls change nothing";
    };
    {
        SCOPED_TRACE("initialized");
        callEveryMethod();
    }
    ASSERT_EQ(addon->Finalize(), S_OK);
    {
        SCOPED_TRACE("after Finalize");
        callEveryMethod();
    }
    addon.Reset();
    {
        SCOPED_TRACE("after the add-on was released");
        callEveryMethod();
        TQmMacroAttrs attrs{};
        attrs.id = 7;
        EXPECT_EQ(list->Insert(-1, &attrs), S_OK);
        EXPECT_EQ(list->Clear(), S_OK);
        EXPECT_EQ(list->Get(0, &attrs), E_FAIL);
    }
}

} // namespace
