#include "errorinfo.h"

#include "com_object.h"

namespace {

class TErrorInfo final : public TComObject<IErrorInfo> {
public:
    TErrorInfo(std::u16string_view source, std::u16string_view description)
        : m_source(source), m_description(description) {}

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
        return S_OK;
    }
    std::u16string m_source;
    std::u16string m_description;
};

thread_local TComPtr<IErrorInfo> t_errorInfo;

} // namespace

HRESULT SetErrorInfo(DWORD, IErrorInfo* info) {
    t_errorInfo = TComPtr<IErrorInfo>(info);
    return S_OK;
}

HRESULT GetErrorInfo(DWORD, IErrorInfo** info) {
    if (!info)
        return E_POINTER;
    *info = t_errorInfo.Detach();
    return *info ? S_OK : S_FALSE;
}

HRESULT SetErrorText(HRESULT hr, std::u16string_view source, std::u16string_view description) {
    auto* info = new TErrorInfo(source, description);
    SetErrorInfo(0, info);
    info->Release();
    return hr;
}
