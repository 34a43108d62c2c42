// The per-thread error information that a failing automation method leaves for its caller
// (SetErrorInfo / GetErrorInfo with IErrorInfo). It lives in the COM runtime library, so that the
// host and the module, separate binaries, see the same information on a thread.
#pragma once

#include "bstr.h"
#include "unknown.h"

#if defined(_WIN32)
TI_SYSTEM_IID(IErrorInfo);
#else
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

extern "C" {
// Replaces this thread's error information (null clears it). Takes its own reference.
TI_COM_RUNTIME_API HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info) noexcept;
// Hands over this thread's error information and clears it; S_FALSE and null when none.
TI_COM_RUNTIME_API HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info) noexcept;
}
#endif

// Convenience for implementations: sets an error information with the texts and returns hr.
// When memory runs out the thread's error information is cleared instead; hr is returned still.
TI_COM_RUNTIME_API HRESULT SetErrorText(HRESULT hr, std::u16string_view source,
                                        std::u16string_view description) noexcept;
