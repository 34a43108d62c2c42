// The base of every host object.
#pragma once

#include "platform/com/com_object.h"

namespace kavrohost {

// A host object: IUnknown for the listed interfaces (the first one answers IUnknown), and
// IDispatch's slots, which the host leaves to early binding (E_NOTIMPL).
template <class First, class... Rest> class TComBase : public TComObject<First, Rest...> {
public:
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

protected:
    TComBase() = default;
};

// Hands a new object's first reference to an out-parameter of interface I.
template <class I, class T> HRESULT HandOut(T* object, I** out) {
    *out = static_cast<I*>(object);
    return S_OK;
}

} // namespace kavrohost
