// Length-prefixed Windows-1251 strings of the add-on API: one length byte, then up to N
// characters, the rest zero.
#pragma once

#include "platform/codepage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

template <std::size_t N> struct TShortString {
    static_assert(N > 0 && N < 256);
    std::uint8_t length;
    char chars[N];

    // Longer text is cut to N characters.
    static TShortString From(std::string_view text) {
        TShortString s;
        s.Assign(text);
        return s;
    }
    void Assign(std::string_view text) {
        std::memset(this, 0, sizeof *this);
        length = static_cast<std::uint8_t>(std::min(text.size(), N));
        std::memcpy(chars, text.data(), length);
    }
    std::string_view View() const { return {chars, std::min<std::size_t>(length, N)}; }
    AnsiString Str() const { return AnsiString(View()); }
    bool Empty() const { return length == 0; }
    friend bool operator==(const TShortString& a, const TShortString& b) {
        return a.View() == b.View();
    }
};
static_assert(sizeof(TShortString<15>) == 16);

// Identifiers of maps, layers, styles and attribute tables: at most 15 characters.
using TQmID = TShortString<15>;
// Names, messages and stream names.
using TQmText = TShortString<255>;
