// BSTR: length-prefixed UTF-16 text, allocated and freed by the functions below.
#pragma once

#include "types.h"

#include <string>
#include <string_view>
#include <utility>

#if defined(_WIN32)
// Windows: oleaut32's BSTR functions. Its OLECHAR is wchar_t, UTF-16 as our char16_t is; the
// helpers below view one as the other.
static_assert(sizeof(OLECHAR) == sizeof(char16_t));
#else
using BSTR = OLECHAR*;

// The 32-bit byte length stands just before the characters; a zero follows them. These live in
// the COM runtime library, so a BSTR allocated by one binary is freed by another with the same
// allocator. Allocation gives null when memory runs out.
extern "C" {
TI_COM_RUNTIME_API BSTR SysAllocString(const OLECHAR* text) noexcept;
TI_COM_RUNTIME_API BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) noexcept;
TI_COM_RUNTIME_API void SysFreeString(BSTR text) noexcept;
TI_COM_RUNTIME_API std::uint32_t SysStringLen(BSTR text) noexcept;
}
#endif

// A UTF-16 text as the platform's OLECHAR characters, and back.
inline const OLECHAR* OleChars(const char16_t* text) {
    return reinterpret_cast<const OLECHAR*>(text);
}
inline const char16_t* Utf16Chars(const OLECHAR* text) {
    return reinterpret_cast<const char16_t*>(text);
}

inline std::u16string_view BstrView(BSTR text) {
    return {text ? Utf16Chars(text) : u"", SysStringLen(text)};
}

// Owns one BSTR.
class TBstr {
public:
    TBstr() = default;
    explicit TBstr(std::u16string_view text)
        : m_p(SysAllocStringLen(OleChars(text.data()), static_cast<std::uint32_t>(text.size()))) {}
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    TBstr(TBstr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    TBstr& operator=(TBstr&& o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~TBstr() { SysFreeString(m_p); }

    BSTR Get() const { return m_p; }
    BSTR* Put() {
        SysFreeString(std::exchange(m_p, nullptr));
        return &m_p;
    }
    BSTR Detach() { return std::exchange(m_p, nullptr); }
    std::u16string_view View() const { return BstrView(m_p); }
    std::u16string Str() const { return std::u16string(View()); }

private:
    BSTR m_p = nullptr;
};
