#include "variant.h"

#include <cstring>

void VariantInit(VARIANT* v) {
    std::memset(v, 0, sizeof *v);
}

HRESULT VariantClear(VARIANT* v) {
    if (!v)
        return E_POINTER;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) {
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
        dest->vt = VT_BSTR;
        dest->bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

TVariant TVariant::Null() {
    TVariant v;
    v.m_v.vt = VT_NULL;
    return v;
}
TVariant TVariant::Int(std::int32_t value) {
    TVariant v;
    v.m_v.vt = VT_I4;
    v.m_v.lVal = value;
    return v;
}
TVariant TVariant::Double(double value) {
    TVariant v;
    v.m_v.vt = VT_R8;
    v.m_v.dblVal = value;
    return v;
}
TVariant TVariant::Date(DATE value) {
    TVariant v;
    v.m_v.vt = VT_DATE;
    v.m_v.date = value;
    return v;
}
TVariant TVariant::Text(std::u16string_view value) {
    TVariant v;
    v.m_v.vt = VT_BSTR;
    v.m_v.bstrVal = SysAllocStringLen(value.data(), static_cast<std::uint32_t>(value.size()));
    return v;
}
