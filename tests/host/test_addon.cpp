// A tiny add-on module for the loader tests, linked as the module is: the five exports, one
// add-on with four commands. Command 1 adds a point to the active layer through the automation
// API, stores a setting, asks to show a rectangle and commits; command 2 reports a failure to the
// host's error sink; command 3 opens a dialog of named controls (test_addon_dialog.cpp) for the
// session player; command 4 adds an object to a layer the project does not have, through the
// module's own check of automation calls, and reports the exception it raises.
#include "host_api/addon_api.h"
#include "host_api/automation_api.h"
#include "host_api/host_errors.h"
#include "platform/com/guid.h"
#include "platform/dynamic_library.h"
#include "platform/registry.h"
#include "test_addon_dialog.h"

#include <atomic>
#include <vector>

namespace {

constexpr GUID kClassId = MakeGuid("{9A7E2C11-5B0D-4F3A-8E21-6C4D2B1A0F31}");
std::atomic<int> g_objects{0};
std::atomic<int> g_locks{0};
TComPtr<IUnknown> g_manager;
TComPtr<IQmErrorInfo> g_sink;

template <class Derived, class I> class TObject : public I {
public:
    TObject() { ++g_objects; }
    virtual ~TObject() { --g_objects; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == InterfaceId<I>::value) {
            *object = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG r = --m_refs;
        if (r == 0)
            delete this;
        return r;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

class TMacroList final : public TObject<TMacroList, IQmMacroAttrsList> {
public:
    HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmMacroAttrs* attrs) override {
        if (index < 0 || index >= static_cast<std::int32_t>(m_items.size()))
            return E_FAIL;
        *attrs = m_items[index];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) override {
        *count = static_cast<std::int32_t>(m_items.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clear() override {
        m_items.clear();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Insert(std::int32_t index, const TQmMacroAttrs* attrs) override {
        if (index < 0)
            m_items.push_back(*attrs);
        else
            m_items.insert(m_items.begin() + index, *attrs);
        return S_OK;
    }

private:
    std::vector<TQmMacroAttrs> m_items;
};

TQmMacroAttrs Command(std::int32_t id, const char* name, const char* caption, const char* path) {
    TQmMacroAttrs a{};
    a.id = id;
    a.name.Assign(Ansi(name));
    a.caption.Assign(Ansi(caption));
    a.menuPath.Assign(Ansi(path));
    return a;
}

TBstr W(const char* utf8) {
    return TBstr(Utf8ToWide(utf8));
}

HRESULT AddPoint() {
    auto app = g_manager.As<IKavroApplication>();
    if (!app)
        return E_NOINTERFACE;
    TComPtr<IKavroProjectView> view;
    TBstr layerId;
    TComPtr<IKavroDb> db;
    TComPtr<IKavroLayer> layer;
    TComPtr<IKavroStyles> styles;
    TComPtr<IKavroStyle> style;
    TBstr styleId;
    TComPtr<IKavroMapObjects> objects;
    TComPtr<IKavroMapObject> object;
    TComPtr<IKavroShapes> shapes;
    TComPtr<IKavroShape> shape;
    TComPtr<IKavroContour> contour;
    TComPtr<IKavroContourPart> part;
    HRESULT hr;
    if (FAILED(hr = app->get_ProjectView(view.Put())) ||
        FAILED(hr = view->get_ActiveLayer(layerId.Put())) ||
        FAILED(hr = app->get_ActiveDb(db.Put())) ||
        FAILED(hr = db->GetLayer(layerId.Get(), layer.Put())) ||
        FAILED(hr = layer->get_Styles(styles.Put())) || FAILED(hr = styles->Item(0, style.Put())) ||
        FAILED(hr = style->get_ID(styleId.Put())) ||
        FAILED(hr = db->get_MapObjects(objects.Put())) ||
        FAILED(hr = objects->Add(layerId.Get(), object.Put())) ||
        FAILED(hr = object->get_Shapes(shapes.Put())) ||
        FAILED(hr = shapes->Add(-1, styleId.Get(), shape.Put())) ||
        FAILED(hr = shape->get_Contour(contour.Put())) ||
        FAILED(hr = contour->Add(-1, part.Put())) || FAILED(hr = part->AddVertex(-1, 10, 20, 0)) ||
        FAILED(hr = app->SetSetting(W("TestAddon.Runs").Get(), W("один").Get())) ||
        FAILED(hr = app->ShowRect(10, 20, 30, 40, kShowRectMoveView)) ||
        FAILED(hr = objects->Commit()))
        return hr;
    return S_OK;
}

// The message and source of the EOleException go to the error sink, so that the host can see
// what the module's side of the boundary received.
HRESULT AddObjectToMissingLayer() {
    try {
        auto app = g_manager.As<IKavroApplication>();
        if (!app)
            return E_NOINTERFACE;
        TComPtr<IKavroDb> db;
        OleCheck(app->get_ActiveDb(db.Put()));
        TComPtr<IKavroMapObjects> objects;
        OleCheck(db->get_MapObjects(objects.Put()));
        TComPtr<IKavroMapObject> object;
        OleCheck(objects->Add(W("L9").Get(), object.Put()));
        return S_OK;
    } catch (const EOleException& e) {
        auto source = TQmText::From(e.Source());
        auto message = TQmText::From(e.Message());
        if (g_sink)
            g_sink->ReportError(&source, &message);
        return e.Code();
    }
}

class TAddOn final : public TObject<TAddOn, IQmAddOn> {
public:
    HRESULT STDMETHODCALLTYPE GetInfo(TQmAddonInfo* info) override {
        *info = TQmAddonInfo{};
        info->classId = kClassId;
        info->name.Assign("TestAddon");
        info->caption.Assign(Ansi("Тестовое расширение"));
        info->value = 0;
        info->reserved = 260;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* manager) override {
        if (!manager)
            return E_FAIL;
        g_manager = TComPtr<IUnknown>(manager);
        g_sink = g_manager.As<IQmErrorInfo>();
        return g_sink ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Finalize() override {
        g_sink.Reset();
        g_manager.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMacros(IQmMacroAttrsList** list) override {
        auto* l = new TMacroList;
        auto a = Command(1, "AddPoint", "Добавить точку", "&Сервис\\&Тест\\Точка...");
        auto b = Command(2, "Fail", "Сбой", "&Сервис\\&Тест\\Сбой");
        auto c = Command(3, "Dialog", "Тестовый мастер", "&Сервис\\&Тест\\&Мастер...");
        auto d = Command(4, "MissingLayer", "Слой не найден", "&Сервис\\&Тест\\Нет слоя");
        l->Insert(-1, &a);
        l->Insert(-1, &b);
        l->Insert(-1, &c);
        l->Insert(-1, &d);
        *list = l;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ExecuteMacro(std::int32_t id, std::int32_t) override {
        if (id == 1)
            return AddPoint();
        if (id == 2) {
            auto source = TQmText::From(Ansi("Тестовое расширение"));
            auto message = TQmText::From(Ansi("Сбой команды"));
            if (g_sink)
                g_sink->ReportError(&source, &message);
            return E_FAIL;
        }
        if (id == 3)
            return g_manager ? RunTestDialog(g_manager.Get()) : E_FAIL;
        if (id == 4)
            return AddObjectToMissingLayer();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Notify(std::int32_t, std::int32_t) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Query(std::int32_t, void*) override { return S_FALSE; }
};

class TFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* addon = new TAddOn;
        HRESULT hr = addon->QueryInterface(riid, object);
        addon->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }
};
TFactory g_factory;

std::string ClassKey() {
    return "CLSID\\" + GuidToString(kClassId);
}

} // namespace

TI_EXPORT HRESULT STDMETHODCALLTYPE QmDllRegisterAddOn(const char* id, BOOL active) {
    try {
        TRegistryStore registry;
        std::string key = id && *id ? std::string("\\Software\\Tesmo\\GIS\\AppliedAddOns\\") + id
                                    : std::string("\\Software\\Tesmo\\GIS\\AddOns");
        key += "\\" + GuidToString(kClassId);
        registry.WriteString(TRegistryRoot::LocalMachine, key, "", Ansi("Тестовое расширение"));
        registry.WriteString(TRegistryRoot::LocalMachine, key, "Active", active ? "1" : "0");
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!(clsid == kClassId)) {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(riid, object);
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return g_objects > 0 || g_locks > 0 ? S_FALSE : S_OK;
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    try {
        TRegistryStore registry;
        auto file =
            TDynamicLibrary::FileOfAddress(reinterpret_cast<const void*>(&DllRegisterServer));
        registry.WriteString(TRegistryRoot::ClassesRoot, ClassKey(), "",
                             Ansi("Тестовое расширение"));
        registry.WriteString(TRegistryRoot::ClassesRoot, ClassKey() + "\\InprocServer32", "",
                             file.string());
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

TI_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    try {
        TRegistryStore registry;
        registry.DeleteKey(TRegistryRoot::ClassesRoot, ClassKey() + "\\InprocServer32");
        registry.DeleteKey(TRegistryRoot::ClassesRoot, ClassKey());
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
