// The reference counting and QueryInterface shared by every host object.
#pragma once

#include "platform/com/dispatch.h"

#include <atomic>
#include <type_traits>

namespace kavrohost {

// Implements IUnknown for the listed interfaces (the first one answers IUnknown) and
// IDispatch's slots, which the host leaves to early binding (E_NOTIMPL). Objects start with one
// reference, handed to the caller by Create.
template <class First, class... Rest> class TComBase : public First, public Rest... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown)
            *object = static_cast<IUnknown*>(static_cast<First*>(this));
        else if (!Try<First>(riid, object))
            (void)(Try<Rest>(riid, object) || ...);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG r = --m_refs;
        if (r == 0)
            delete this;
        return r;
    }

    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) {
        if (count)
            *count = 0;
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, void** typeInfo) {
        if (typeInfo)
            *typeInfo = nullptr;
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) {
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, void*, VARIANT*, void*,
                                             UINT*) {
        return E_NOTIMPL;
    }

    IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

protected:
    TComBase() = default;
    virtual ~TComBase() = default;

private:
    template <class I> bool Try(REFIID riid, void** object) {
        if (riid == InterfaceId<I>::value) {
            *object = static_cast<I*>(this);
            return true;
        }
        if constexpr (std::is_base_of_v<IDispatch, I>) {
            if (riid == IID_IDispatch) {
                *object = static_cast<IDispatch*>(static_cast<I*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> m_refs{1};
};

// Hands a new object's first reference to an out-parameter of interface I.
template <class I, class T> HRESULT HandOut(T* object, I** out) {
    *out = static_cast<I*>(object);
    return S_OK;
}

} // namespace kavrohost
