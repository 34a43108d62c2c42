// The per-thread error information that a failing automation method leaves for its caller
// (SetErrorInfo / GetErrorInfo with IErrorInfo).
#pragma once

#include "bstr.h"
#include "unknown.h"

struct IErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;

protected:
    ~IErrorInfo() = default;
};
TI_DECLARE_IID(IErrorInfo, "{1CF2B120-547D-101B-8E65-08002B2BA9A9}");

// Replaces this thread's error information (null clears it). Takes its own reference.
HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info);
// Hands over this thread's error information and clears it; S_FALSE and null when none.
HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info);

// Convenience for implementations: sets an error information with the texts and returns hr.
HRESULT SetErrorText(HRESULT hr, std::u16string_view source, std::u16string_view description);
