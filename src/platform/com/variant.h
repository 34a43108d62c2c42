// The subset of VARIANT that crosses the host boundary: empty, null, 32-bit integer, double,
// date and BSTR.
#pragma once

#include "bstr.h"

#include <new>

#if defined(_WIN32)
#else
using VARTYPE = std::uint16_t;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_DATE = 7;
constexpr VARTYPE VT_BSTR = 8;

struct VARIANT {
    VARTYPE vt;
    std::uint16_t wReserved1;
    std::uint16_t wReserved2;
    std::uint16_t wReserved3;
    union {
        std::int32_t lVal;
        double dblVal;
        DATE date;
        BSTR bstrVal;
        void* record[2]; // keeps the size of the full union (BRECORD)
    };
};
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));
#endif

#if !defined(_WIN32)
// In the COM runtime library, with the BSTR functions they use.
extern "C" {
TI_COM_RUNTIME_API void VariantInit(VARIANT* v) noexcept;
TI_COM_RUNTIME_API HRESULT VariantClear(VARIANT* v) noexcept;
// E_OUTOFMEMORY when a text cannot be copied (dest is then empty).
TI_COM_RUNTIME_API HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) noexcept;
}
#endif

// Owns one VARIANT of the subset.
class TVariant {
public:
    TVariant() { VariantInit(&m_v); }
    TVariant(const TVariant& o) : TVariant() { VariantCopy(&m_v, const_cast<VARIANT*>(&o.m_v)); }
    TVariant& operator=(const TVariant& o) {
        if (this != &o)
            VariantCopy(&m_v, const_cast<VARIANT*>(&o.m_v));
        return *this;
    }
    ~TVariant() { VariantClear(&m_v); }

    static TVariant Null() { return Of(VT_NULL); }
    static TVariant Int(std::int32_t value) {
        TVariant v = Of(VT_I4);
        v.m_v.lVal = value;
        return v;
    }
    static TVariant Double(double value) {
        TVariant v = Of(VT_R8);
        v.m_v.dblVal = value;
        return v;
    }
    static TVariant Date(DATE value) {
        TVariant v = Of(VT_DATE);
        v.m_v.date = value;
        return v;
    }
    // Throws std::bad_alloc when the text cannot be allocated.
    static TVariant Text(std::u16string_view value) {
        TVariant v = Of(VT_BSTR);
        v.m_v.bstrVal =
            SysAllocStringLen(OleChars(value.data()), static_cast<std::uint32_t>(value.size()));
        if (!v.m_v.bstrVal)
            throw std::bad_alloc();
        return v;
    }

    VARTYPE Type() const { return m_v.vt; }
    const VARIANT& Raw() const { return m_v; }
    VARIANT* Put() {
        VariantClear(&m_v);
        return &m_v;
    }

private:
    static TVariant Of(VARTYPE type) {
        TVariant v;
        v.m_v.vt = type;
        return v;
    }
    VARIANT m_v;
};
