// IDispatch, the base of the host's dual automation interfaces. The module calls the
// automation interfaces through their vtables only; late binding is not used.
#pragma once

#include "unknown.h"
#include "variant.h"

#if defined(_WIN32)
TI_SYSTEM_IID(IDispatch);
#else
using DISPID = LONG;
using LCID = DWORD;
using UINT = std::uint32_t;
using WORD = std::uint16_t;

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, void** typeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, OLECHAR** names, UINT count,
                                                    LCID locale, DISPID* ids) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                             void* params, VARIANT* result, void* exceptionInfo,
                                             UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};
TI_DECLARE_IID(IDispatch, "{00020400-0000-0000-C000-000000000046}");
#endif
