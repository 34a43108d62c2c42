#include "errorinfo.h"

#include <atomic>
#include <new>
#include <string>

namespace {

// Counts its own references rather than using TComObject: this library is shared by every
// binary of the process and keeps no count of live objects of its own.
class TErrorInfo final : public IErrorInfo {
public:
    TErrorInfo(std::u16string_view source, std::u16string_view description)
        : m_source(source), m_description(description) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo) {
            *object = static_cast<IErrorInfo*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG r = --m_refs;
        if (r == 0)
            delete this;
        return r;
    }

    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
        if (!guid)
            return E_POINTER;
        *guid = GUID{};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override { return Copy(m_source, source); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
        return Copy(m_description, description);
    }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) override { return Copy(u"", helpFile); }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) override {
        if (!helpContext)
            return E_POINTER;
        *helpContext = 0;
        return S_OK;
    }

private:
    ~TErrorInfo() = default;
    static HRESULT Copy(std::u16string_view text, BSTR* out) {
        if (!out)
            return E_POINTER;
        *out = SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    std::atomic<ULONG> m_refs{1};
    std::u16string m_source;
    std::u16string m_description;
};

thread_local TComPtr<IErrorInfo> t_errorInfo;

} // namespace

HRESULT SetErrorInfo(DWORD, IErrorInfo* info) noexcept {
    t_errorInfo = TComPtr<IErrorInfo>(info);
    return S_OK;
}

HRESULT GetErrorInfo(DWORD, IErrorInfo** info) noexcept {
    if (!info)
        return E_POINTER;
    *info = t_errorInfo.Detach();
    return *info ? S_OK : S_FALSE;
}

HRESULT SetErrorText(HRESULT hr, std::u16string_view source,
                     std::u16string_view description) noexcept {
    try {
        auto* info = new TErrorInfo(source, description);
        SetErrorInfo(0, info);
        info->Release();
    } catch (const std::bad_alloc&) {
        SetErrorInfo(0, nullptr);
    }
    return hr;
}
