// SetErrorText on Windows: an error information made by oleaut32's CreateErrorInfo.
#include "platform/com/errorinfo.h"

HRESULT SetErrorText(HRESULT hr, std::u16string_view source,
                     std::u16string_view description) noexcept {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) {
        SetErrorInfo(0, nullptr);
        return hr;
    }
    TBstr sourceText(source);
    TBstr descriptionText(description);
    IErrorInfo* info = nullptr;
    if (sourceText.Get() && descriptionText.Get() &&
        SUCCEEDED(create->SetSource(sourceText.Get())) &&
        SUCCEEDED(create->SetDescription(descriptionText.Get())) &&
        SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    } else {
        SetErrorInfo(0, nullptr);
    }
    create->Release();
    return hr;
}
