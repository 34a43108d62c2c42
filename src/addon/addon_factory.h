// The COM class factory that publishes an add-on, and the proxy objects through which the host
// calls it.
#pragma once

#include "host_api/addon_api.h"

#include <atomic>
#include <vector>

class TQmCustomAddon;

// Created by the add-on's constructor, for the add-on's class id, and registered with the
// module; the registration holds one reference until the module unloads. The factory and its
// add-on are linked both ways: whichever goes first unlinks the other, and a factory that goes
// while still linked destroys its add-on, so the add-on is destroyed exactly once.
class TQmAddonFactory final : public IClassFactory {
public:
    static TQmAddonFactory* Create(TQmCustomAddon* addon);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // Each call creates a new TQmAddonProxy bound to this factory's add-on.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    const CLSID& ClassId() const { return m_classId; }
    // The add-on caption, written as the class's description by DllRegisterServer.
    const AnsiString& Description() const { return m_description; }
    TQmCustomAddon* Addon() const { return m_addon; }

private:
    friend class TQmCustomAddon;
    TQmAddonFactory(TQmCustomAddon* addon);
    ~TQmAddonFactory();

    std::atomic<ULONG> m_refs{1};
    CLSID m_classId;
    AnsiString m_description;
    TQmCustomAddon* m_addon;
};

// The class factories registered in this module, in creation order.
TQmAddonFactory* FindAddonFactory(const CLSID& classId);
const std::vector<TQmAddonFactory*>& AddonFactories();
// Releases the module's registration of every factory (at unload).
void ReleaseAddonFactories();

// What the host holds: an IQmAddOn that forwards every call to the add-on of its factory. No
// exception leaves it: a failure is reported to the host's error sink with the add-on caption
// as source, and the call returns E_FAIL.
class TQmAddonProxy final : public IQmAddOn {
public:
    // Holds a reference on the factory, so the add-on link it reads stays valid.
    explicit TQmAddonProxy(TQmAddonFactory* factory);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetInfo(TQmAddonInfo* info) override;
    HRESULT STDMETHODCALLTYPE Initialize(IUnknown* manager) override;
    HRESULT STDMETHODCALLTYPE Finalize() override;
    HRESULT STDMETHODCALLTYPE GetMacros(IQmMacroAttrsList** list) override;
    HRESULT STDMETHODCALLTYPE ExecuteMacro(std::int32_t id, std::int32_t value) override;
    HRESULT STDMETHODCALLTYPE Notify(std::int32_t a, std::int32_t b) override;
    HRESULT STDMETHODCALLTYPE Query(std::int32_t a, void* b) override;

private:
    ~TQmAddonProxy();
    template <class F> HRESULT Forward(F&& operation);

    std::atomic<ULONG> m_refs{1};
    TComPtr<TQmAddonFactory> m_factory;
};
