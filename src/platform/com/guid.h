// GUID in the Windows byte layout, with its text and registry forms.
#pragma once

#include "types.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#if !defined(_WIN32) // Windows has its own GUID, IID and CLSID (guiddef.h)
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend bool operator==(const GUID& a, const GUID& b) {
        return std::memcmp(&a, &b, sizeof(GUID)) == 0;
    }
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
#endif

namespace guid_detail {
constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
constexpr bool ParseHex(std::string_view s, std::size_t pos, std::size_t n, std::uint64_t& out) {
    out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        int d = HexDigit(s[pos + i]);
        if (d < 0)
            return false;
        out = out * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
}
} // namespace guid_detail

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional); nullopt when malformed.
constexpr std::optional<GUID> ParseGuid(std::string_view text) {
    using guid_detail::ParseHex;
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    GUID g{};
    std::uint64_t v = 0;
    if (!ParseHex(text, 0, 8, v))
        return std::nullopt;
    g.Data1 = static_cast<std::uint32_t>(v);
    if (!ParseHex(text, 9, 4, v))
        return std::nullopt;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!ParseHex(text, 14, 4, v))
        return std::nullopt;
    g.Data3 = static_cast<std::uint16_t>(v);
    const std::size_t bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) {
        if (!ParseHex(text, bytePos[i], 2, v))
            return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    return g;
}

// A GUID known at compile time; a malformed literal does not compile.
consteval GUID MakeGuid(const char* text) {
    auto g = ParseGuid(text);
    if (!g)
        throw "malformed GUID literal";
    return *g;
}

// The registry form: braces around upper-case hexadecimal groups of 8, 4, 4, 4 and 12 digits.
std::string GuidToString(const GUID& g);
