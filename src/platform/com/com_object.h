// Reference counting and QueryInterface for COM objects implemented in C++.
#pragma once

#include "dispatch.h"
#include "object_count.h"
#include "stream.h"

#include <atomic>
#include <type_traits>

// Implements IUnknown for the listed interfaces; the first one answers IUnknown. An interface
// also answers for the standard bases it derives from (IDispatch, ISequentialStream). Objects
// start with one reference, which their creator hands on, and delete themselves when the last
// one goes. Each is a live object of its binary (ComObjectCount) while it exists.
template <class First, class... Rest> class TComObject : public First, public Rest... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown)
            *object = Identity();
        else if (!Try<First>(riid, object))
            (void)(Try<Rest>(riid, object) || ...);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG r = --m_refs;
        if (r == 0)
            delete this;
        return r;
    }

    IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

protected:
    TComObject() { ComObjectCreated(); }
    virtual ~TComObject() { ComObjectDestroyed(); }
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

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
        if constexpr (std::is_base_of_v<ISequentialStream, I>) {
            if (riid == IID_ISequentialStream) {
                *object = static_cast<ISequentialStream*>(static_cast<I*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<ULONG> m_refs{1};
};
