#include "variant.h"

#include <cstring>

void VariantInit(VARIANT* v) noexcept {
    std::memset(v, 0, sizeof *v);
}

HRESULT VariantClear(VARIANT* v) noexcept {
    if (!v)
        return E_POINTER;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) noexcept {
    if (!dest || !source)
        return E_POINTER;
    if (dest == source)
        return S_OK;
    VariantClear(dest);
    switch (source->vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I4:
    case VT_R8:
    case VT_DATE:
        std::memcpy(dest, source, sizeof *dest);
        return S_OK;
    case VT_BSTR:
        dest->bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (!dest->bstrVal)
            return E_OUTOFMEMORY;
        dest->vt = VT_BSTR;
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}
