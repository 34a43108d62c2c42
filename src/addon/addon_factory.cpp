#include "addon/addon_factory.h"

#include "addon/custom_addon.h"
#include "addon/module_state.h"
#include "platform/exception.h"

#include <algorithm>
#include <new>

namespace {

std::vector<TQmAddonFactory*>* g_factories = nullptr;

std::vector<TQmAddonFactory*>& Factories() {
    if (!g_factories)
        g_factories = new std::vector<TQmAddonFactory*>;
    return *g_factories;
}

} // namespace

TQmAddonFactory* TQmAddonFactory::Create(TQmCustomAddon* addon) {
    auto* factory = new TQmAddonFactory(addon);
    Factories().push_back(factory); // the registration keeps the creation reference
    return factory;
}

TQmAddonFactory::TQmAddonFactory(TQmCustomAddon* addon)
    : m_classId(addon->Info().classId), m_description(addon->Caption()), m_addon(addon) {}

TQmAddonFactory::~TQmAddonFactory() {
    if (TQmCustomAddon* addon = std::exchange(m_addon, nullptr)) {
        addon->m_factory = nullptr;
        delete addon;
    }
}

HRESULT TQmAddonFactory::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TQmAddonFactory::AddRef() {
    return ++m_refs;
}

ULONG TQmAddonFactory::Release() {
    const ULONG count = --m_refs;
    if (count == 0)
        delete this;
    return count;
}

HRESULT TQmAddonFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!m_addon)
        return E_UNEXPECTED;
    auto* proxy = new (std::nothrow) TQmAddonProxy(this);
    if (!proxy)
        return E_OUTOFMEMORY;
    const HRESULT hr = proxy->QueryInterface(riid, object);
    proxy->Release();
    return hr;
}

HRESULT TQmAddonFactory::LockServer(BOOL lock) {
    LockModule(lock != 0);
    return S_OK;
}

TQmAddonFactory* FindAddonFactory(const CLSID& classId) {
    if (!g_factories)
        return nullptr;
    auto it = std::find_if(g_factories->begin(), g_factories->end(),
                           [&](TQmAddonFactory* f) { return f->ClassId() == classId; });
    return it == g_factories->end() ? nullptr : *it;
}

const std::vector<TQmAddonFactory*>& AddonFactories() {
    return Factories();
}

void ReleaseAddonFactories() {
    std::vector<TQmAddonFactory*>* factories = std::exchange(g_factories, nullptr);
    if (!factories)
        return;
    while (!factories->empty()) {
        TQmAddonFactory* factory = factories->back();
        factories->pop_back();
        factory->Release();
    }
    delete factories;
}

TQmAddonProxy::TQmAddonProxy(TQmAddonFactory* factory) : m_factory(factory) {
    ComObjectCreated();
}

TQmAddonProxy::~TQmAddonProxy() {
    ComObjectDestroyed();
}

HRESULT TQmAddonProxy::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IQmAddOn) {
        *object = static_cast<IQmAddOn*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG TQmAddonProxy::AddRef() {
    return ++m_refs;
}

ULONG TQmAddonProxy::Release() {
    const ULONG count = --m_refs;
    if (count == 0)
        delete this;
    return count;
}

template <class F> HRESULT TQmAddonProxy::Forward(F&& operation) {
    TQmCustomAddon* addon = m_factory->Addon();
    if (!addon)
        return E_UNEXPECTED; // the module is going away
    try {
        return operation(*addon);
    } catch (...) {
        ReportCurrentException(addon->Info().caption.View());
    }
    return E_FAIL;
}

HRESULT TQmAddonProxy::GetInfo(TQmAddonInfo* info) {
    return Forward([&](TQmCustomAddon& a) {
        a.GetInfo(info);
        return S_OK;
    });
}

HRESULT TQmAddonProxy::Initialize(IUnknown* manager) {
    return Forward([&](TQmCustomAddon& a) {
        a.Initialize(manager);
        return S_OK;
    });
}

HRESULT TQmAddonProxy::Finalize() {
    return Forward([&](TQmCustomAddon& a) {
        a.Finalize();
        return S_OK;
    });
}

HRESULT TQmAddonProxy::GetMacros(IQmMacroAttrsList** list) {
    if (list)
        *list = nullptr;
    const HRESULT hr = Forward([&](TQmCustomAddon& a) {
        TComPtr<IQmMacroAttrsList> macros = a.GetMacros();
        if (!list)
            throw EUserError(Ansi("Неверный указатель на список макросов"));
        *list = macros.Detach();
        return S_OK;
    });
    if (FAILED(hr) && list)
        *list = nullptr;
    return hr;
}

HRESULT TQmAddonProxy::ExecuteMacro(std::int32_t id, std::int32_t value) {
    return Forward([&](TQmCustomAddon& a) {
        a.ExecuteMacro(id, value);
        return S_OK;
    });
}

HRESULT TQmAddonProxy::Notify(std::int32_t a, std::int32_t b) {
    return Forward([&](TQmCustomAddon& addon) {
        addon.Notify(a, b);
        return S_OK;
    });
}

HRESULT TQmAddonProxy::Query(std::int32_t a, void* b) {
    return Forward([&](TQmCustomAddon& addon) { return addon.Query(a, b) ? S_OK : S_FALSE; });
}
