// The subset of VARIANT that crosses the host boundary: empty, null, 32-bit integer, double,
// date and BSTR.
#pragma once

#include "bstr.h"

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

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);

// Owns one VARIANT of the subset.
class TVariant {
public:
    TVariant() { VariantInit(&m_v); }
    TVariant(const TVariant& o) : TVariant() { VariantCopy(&m_v, &o.m_v); }
    TVariant& operator=(const TVariant& o) {
        if (this != &o)
            VariantCopy(&m_v, &o.m_v);
        return *this;
    }
    ~TVariant() { VariantClear(&m_v); }

    static TVariant Null();
    static TVariant Int(std::int32_t value);
    static TVariant Double(double value);
    static TVariant Date(DATE value);
    static TVariant Text(std::u16string_view value);

    VARTYPE Type() const { return m_v.vt; }
    const VARIANT& Raw() const { return m_v; }
    VARIANT* Put() {
        VariantClear(&m_v);
        return &m_v;
    }

private:
    VARIANT m_v;
};
