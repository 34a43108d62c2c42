#include "codepage.h"

#include "codepage_tables.h"

#include <array>

namespace {

const std::array<unsigned char, 65536>& WideToAnsiTable() {
    // 0 marks "no byte" except for U+0000 itself.
    static const auto table = [] {
        std::array<unsigned char, 65536> t{};
        for (unsigned c = 1; c < 128; ++c)
            t[c] = static_cast<unsigned char>(c);
        for (unsigned b = 0; b < 128; ++b)
            t[codepage_tables::kCp1251[b]] = static_cast<unsigned char>(b + 128);
        return t;
    }();
    return table;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char16_t AnsiCharToWide(unsigned char c) {
    return c < 128 ? c : codepage_tables::kCp1251[c - 128];
}

char16_t OemCharToWide(unsigned char c) {
    return c < 128 ? c : codepage_tables::kCp866[c - 128];
}

bool WideCharToAnsi(char16_t c, unsigned char& out) {
    if (c == 0) {
        out = 0;
        return true;
    }
    out = WideToAnsiTable()[c];
    return out != 0;
}

std::u16string AnsiToWide(std::string_view text) {
    std::u16string out(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = AnsiCharToWide(static_cast<unsigned char>(text[i]));
    return out;
}

AnsiString WideToAnsi(std::u16string_view text) {
    AnsiString out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char b;
        out[i] = WideCharToAnsi(text[i], b) ? static_cast<char>(b) : codepage::kReplacement;
    }
    return out;
}

AnsiString OemToAnsi(std::string_view text) {
    AnsiString out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char b;
        const char16_t w = OemCharToWide(static_cast<unsigned char>(text[i]));
        out[i] = WideCharToAnsi(w, b) ? static_cast<char>(b) : codepage::kReplacement;
    }
    return out;
}

std::string WideToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string AnsiToUtf8(std::string_view text) {
    return WideToUtf8(AnsiToWide(text));
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        const int extra = b0 < 0x80             ? 0
                          : (b0 & 0xE0) == 0xC0 ? 1
                          : (b0 & 0xF0) == 0xE0 ? 2
                          : (b0 & 0xF8) == 0xF0 ? 3
                                                : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? b0 : b0 & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

AnsiString Utf8ToAnsi(std::string_view text) {
    return WideToAnsi(Utf8ToWide(text));
}
