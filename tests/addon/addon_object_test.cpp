// The add-on object: registry paths, forms, the factory link and reference counting.
#include "addon/addon_factory.h"
#include "addon/application_binding.h"
#include "addon/com_server.h"
#include "addon/custom_addon.h"
#include "addon/dll_form.h"
#include "addon/fake_host.h"
#include "addon/interface_base.h"
#include "addon/macro_attrs_list.h"
#include "addon/module_state.h"
#include "addon/registry_path.h"
#include "addon/sample_addon.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(RegistryPathTest, JoinsWithExactlyOneSeparator) {
    const struct {
        std::string_view a, b;
        const char* joined;
    } cases[] = {
        {"", "", ""},
        {"", "X", "X"},
        {"\\A", "", "\\A"},
        {"\\A", "X", "\\A\\X"},
        {"\\A\\", "X", "\\A\\X"},
        {"\\A", "\\X", "\\A\\X"},
        {"\\A\\", "\\X", "\\A\\X"},
        {"\\A/", "\\X", "\\A/X"},
        {"\\A\\", "/X", "\\A\\X"}, // the text so far keeps its separator
        {"\\A", "/X", "\\A/X"},
        {"\\A/", "X", "\\A/X"},
        {"\\A\\\\", "\\X", "\\A\\\\X"}, // only one of the two touching separators goes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " + " + std::string(c.b));
        EXPECT_EQ(JoinRegistryPath({c.a, c.b}), c.joined);
    }
    EXPECT_EQ(JoinRegistryPath({"\\Software\\Tesmo\\GIS\\AppliedAddOns", "X\\",
                                "{27DACE42-8427-11D2-AF21-0020AFDED75D}"}),
              "\\Software\\Tesmo\\GIS\\AppliedAddOns\\X\\{27DACE42-8427-11D2-AF21-0020AFDED75D}");
}

// Records, when it is destroyed, whether its add-on still listed it.
struct TFormLog {
    std::vector<std::string> destroyed;
    std::vector<std::size_t> formsLeft;
    std::vector<bool> stillListed;
};

class TRecordingForm final : public TQmAddonForm {
public:
    TRecordingForm(std::string name, TFormLog& log) : m_name(std::move(name)), m_log(log) {}
    ~TRecordingForm() override {
        const auto& forms = Addon()->Forms();
        m_log.destroyed.push_back(m_name);
        m_log.formsLeft.push_back(forms.size());
        m_log.stillListed.push_back(std::find(forms.begin(), forms.end(), this) != forms.end());
    }

private:
    std::string m_name;
    TFormLog& m_log;
};

class AddonObjectTest : public ::testing::Test {
protected:
    void TearDown() override { UnloadAddonModule(); }
};

TEST_F(AddonObjectTest, FreeFormsTakesTheLastOutBeforeFreeingIt) {
    auto* addon = new TSampleAddon;
    TFormLog log;
    new TRecordingForm("a", log);
    new TRecordingForm("b", log);
    new TRecordingForm("c", log);
    ASSERT_EQ(addon->Forms().size(), 3u);

    addon->FreeForms();
    EXPECT_EQ(log.destroyed, (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(log.formsLeft, (std::vector<std::size_t>{2, 1, 0}));
    EXPECT_EQ(log.stillListed, (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(addon->Forms().empty());
    EXPECT_FALSE(addon->UnregisterForm(nullptr));
}

TEST_F(AddonObjectTest, FormsFollowTheCurrentAddonAndLeaveWhenFreed) {
    auto* first = new TSampleAddon;
    auto* second = new TSampleAddon;
    EXPECT_EQ(CurrentAddon(), second) << "the newest add-on is current";
    SetFormOwnerWindow(0x42);

    TFormLog log;
    auto* form = new TRecordingForm("own", log);
    EXPECT_EQ(form->Addon(), second);
    EXPECT_EQ(form->OwnerWindow(), HWND{0x42});
    EXPECT_TRUE(first->Forms().empty());
    delete form;
    EXPECT_TRUE(second->Forms().empty()) << "a freed form unregisters itself";

    TFakeHost host;
    first->Initialize(host.Unknown());
    EXPECT_EQ(CurrentAddon(), first) << "Initialize makes the add-on current";
    EXPECT_EQ(FormOwnerWindow(), host.ownerWindow);
    EXPECT_EQ(ApplicationWindow(), host.applicationWindow);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"application", "owner"}));
    new TRecordingForm("open", log);
    first->Finalize();
    EXPECT_EQ(log.destroyed.back(), "open") << "Finalize frees the open forms";
    EXPECT_EQ(FormOwnerWindow(), HWND{0});
    EXPECT_EQ(ApplicationWindow(), HWND{0});
    EXPECT_EQ(HostErrorSink(), nullptr);
    EXPECT_EQ(host.References(), 1u) << "Finalize releases every host interface";

    delete second;
    EXPECT_EQ(CurrentAddon(), first) << "only the add-on that is current clears it";
    EXPECT_EQ(AddonList(), (std::vector<TQmCustomAddon*>{first}));
}

// Counts its destructions, to see that the add-on goes exactly once.
class TCountedAddon final : public TQmCustomAddon {
public:
    explicit TCountedAddon(int& destroyed)
        : TQmCustomAddon(kSampleAddonClassId, "Counted", "Counted", 7), m_destroyed(destroyed) {}
    ~TCountedAddon() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

TEST_F(AddonObjectTest, AddonGoesFirstAndUnlinksItsFactory) {
    int destroyed = 0;
    auto* addon = new TCountedAddon(destroyed);
    TQmAddonFactory* factory = addon->Factory();
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(FindAddonFactory(kSampleAddonClassId), factory);
    factory->AddRef();
    delete addon;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(factory->Addon(), nullptr);
    EXPECT_TRUE(AddonList().empty());

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQmAddOn, &object), E_UNEXPECTED);
    EXPECT_EQ(object, nullptr);
    factory->Release();
    ReleaseAddonFactories();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(AddonObjectTest, FactoryGoesFirstAndDestroysItsAddon) {
    int destroyed = 0;
    auto* addon = new TCountedAddon(destroyed);
    TFormLog log;
    new TRecordingForm("left open", log);
    ASSERT_EQ(AddonList().size(), 1u);
    (void)addon;

    ReleaseAddonFactories();
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(AddonList().empty());
    EXPECT_EQ(CurrentAddon(), nullptr);
    EXPECT_EQ(log.destroyed, (std::vector<std::string>{"left open"}));
    UnloadAddonModule();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(AddonObjectTest, InitializeReleasesAnEarlierBinding) {
    auto* addon = new TSampleAddon;
    TFakeHost first, second;
    addon->Initialize(first.Unknown());
    EXPECT_EQ(first.References(), 9u) << "the sink and seven holders";
    addon->Initialize(second.Unknown());
    EXPECT_EQ(first.References(), 1u);
    EXPECT_EQ(second.References(), 9u);
    EXPECT_THROW(addon->Initialize(nullptr), EHResultError);
    EXPECT_EQ(second.References(), 1u) << "a null manager leaves the holders empty";
    EXPECT_FALSE(addon->AddOnManager());
    EXPECT_THROW(addon->KavroApplication(), EUserError);
    addon->Finalize();
}

// Stands for the windowing side: a title per window, and what was bound.
class TRecordingBinding final : public IApplicationBinding {
public:
    AnsiString WindowTitle(HWND window) override {
        return window == kWindow ? Ansi("Карта района") : AnsiString();
    }
    void Bind(HWND window, const AnsiString& title) override {
        boundWindow = window;
        boundTitle = title;
    }
    void Unbind() override { boundWindow = 0; }

    static constexpr HWND kWindow = 0x4711;
    HWND boundWindow = 0;
    AnsiString boundTitle;
};

TEST_F(AddonObjectTest, InitializeBindsTheHostWindowAndItsTitle) {
    TRecordingBinding binding;
    SetApplicationBinding(&binding);
    auto* addon = new TSampleAddon;
    TFakeHost host;
    host.applicationWindow = TRecordingBinding::kWindow;
    addon->Initialize(host.Unknown());
    EXPECT_EQ(ApplicationWindow(), host.applicationWindow);
    EXPECT_EQ(ApplicationTitle(), Ansi("Карта района"));
    EXPECT_EQ(binding.boundWindow, host.applicationWindow);
    EXPECT_EQ(binding.boundTitle, Ansi("Карта района"));
    addon->Finalize();
    EXPECT_EQ(ApplicationWindow(), HWND{0});
    EXPECT_EQ(binding.boundWindow, HWND{0}) << "Finalize unbinds";
    SetApplicationBinding(nullptr);
}

// Only its identity matters here.
class TFakeApplication final : public IKavroApplication {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, void*, VARIANT*, void*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_ActiveDb(IKavroDb**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ProjectView(IKavroProjectView**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSetting(BSTR, BSTR, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSetting(BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Folder(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowRect(double, double, double, double, std::int32_t) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;
};

TEST_F(AddonObjectTest, ApplicationObjectComesFromTheAddOnManager) {
    auto* addon = new TSampleAddon;
    TFakeHost host;
    EXPECT_THROW(addon->KavroApplication(), EUserError) << "not bound";
    addon->Initialize(host.Unknown());
    EXPECT_THROW(addon->KavroApplication(), EUserError) << "the host does not serve it";

    TFakeApplication application;
    host.application = &application;
    {
        TComPtr<IKavroApplication> served = addon->KavroApplication();
        EXPECT_EQ(served.Get(), &application);
        EXPECT_EQ(application.refs, 2u);
    }
    EXPECT_EQ(application.refs, 1u);
    addon->Finalize();
}

TEST_F(AddonObjectTest, AStreamTheHostKeepsHoldsTheModule) {
    auto* addon = new TSampleAddon;
    TFakeHost host;
    host.keepStream = true;
    host.streamBytes = "xyz";
    addon->Initialize(host.Unknown());
    std::stringstream bytes;
    ASSERT_TRUE(addon->ReadDatabaseStream("Some.Stream", bytes));
    EXPECT_EQ(bytes.str(), "xyz");
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "the host still holds the module's stream";
    host.keptStream.Reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);
    addon->Finalize();
}

// A controlling object that counts what is delegated to it.
class TController final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        ++queries;
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    int queries = 0;
};

TEST_F(AddonObjectTest, AggregatedListDelegatesToItsController) {
    TController controller;
    auto* list = new IQmMacroAttrsListImp(&controller);
    EXPECT_EQ(ComObjectCount(), 1);
    list->AddRef();
    list->AddRef();
    EXPECT_EQ(controller.refs, 3u);
    void* object = nullptr;
    EXPECT_EQ(list->QueryInterface(IID_IQmMacroAttrsList, &object), E_NOINTERFACE);
    EXPECT_EQ(controller.queries, 1);
    list->Release();
    list->Release();
    EXPECT_EQ(controller.refs, 1u);
    EXPECT_EQ(ComObjectCount(), 1) << "a controlled object lives as long as its controller";
    delete static_cast<TInterface*>(list);
    EXPECT_EQ(ComObjectCount(), 0);
}

TEST_F(AddonObjectTest, OwnCountedListFreesItselfAndInsertsInPlace) {
    TComPtr<IQmMacroAttrsList> list(new IQmMacroAttrsListImp);
    EXPECT_EQ(ComObjectCount(), 1);
    TQmMacroAttrs attrs{};
    for (std::int32_t id : {1, 3}) {
        attrs.id = id;
        ASSERT_EQ(list->Insert(-1, &attrs), S_OK);
    }
    attrs.id = 2;
    ASSERT_EQ(list->Insert(1, &attrs), S_OK);
    attrs.id = 4;
    ASSERT_EQ(list->Insert(3, &attrs), S_OK) << "inserting at the end";
    EXPECT_EQ(list->Insert(9, &attrs), E_FAIL);
    std::int32_t count = 0;
    ASSERT_EQ(list->Count(&count), S_OK);
    ASSERT_EQ(count, 4);
    for (std::int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(list->Get(i, &attrs), S_OK);
        EXPECT_EQ(attrs.id, i + 1);
    }
    EXPECT_EQ(list->Get(4, &attrs), E_FAIL);
    EXPECT_EQ(list->Get(-1, &attrs), E_FAIL);
    EXPECT_EQ(list->Count(nullptr), E_FAIL);
    EXPECT_EQ(list->Clear(), S_OK);
    ASSERT_EQ(list->Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    list.Reset();
    EXPECT_EQ(ComObjectCount(), 0);
}

} // namespace
