#include "source_text.h"

#include <algorithm>
#include <optional>

namespace {

// Any byte with the high bit set leads a sequence: three bytes when its bit 5 is set, else
// two. Returns the offset of a bad or missing continuation byte's lead, or nothing.
std::optional<std::size_t> DecodeSourceUtf8(std::string_view text, std::u16string& out) {
    out.clear();
    out.reserve(text.size());
    const std::size_t n = text.size();
    const auto continuation = [&](std::size_t i, unsigned& value) {
        if (i >= n)
            return false;
        value = static_cast<unsigned char>(text[i]);
        return value >= 0x80 && value <= 0xBF;
    };
    std::size_t i = 0;
    while (i < n) {
        const unsigned lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        unsigned c1 = 0;
        if (!continuation(i + 1, c1))
            return i;
        if (lead & 0x20) {
            unsigned c2 = 0;
            if (!continuation(i + 2, c2))
                return i;
            out +=
                static_cast<char16_t>(((((lead * 64) + (c1 & 0x3F)) & 0xFFF) * 64) + (c2 & 0x3F));
            i += 3;
        } else {
            out += static_cast<char16_t>((lead & 0x3F) * 64 + (c1 & 0x3F));
            i += 2;
        }
    }
    return std::nullopt;
}

AnsiString WideToAnsiCounting(std::u16string_view text, std::int64_t* replaced) {
    AnsiString out;
    out.reserve(text.size());
    for (char16_t c : text) {
        unsigned char b = 0;
        if (WideCharToAnsi(c, b)) {
            out += static_cast<char>(b);
        } else {
            out += codepage::kReplacement;
            if (replaced)
                ++*replaced;
        }
    }
    return out;
}

} // namespace

AnsiString ConvertSourceText(std::string_view text, int codePageChoice, std::int64_t* replaced) {
    switch (codePageChoice) {
    case kSourceUtf8: {
        std::u16string wide;
        if (const std::optional<std::size_t> bad = DecodeSourceUtf8(text, wide)) {
            const auto line = 1 + std::count(text.begin(), text.begin() + *bad, '\n');
            throw ESourceDecodeError(Ansi("Строка ") + std::to_string(line) +
                                         Ansi(" не читается в кодировке UTF-8"),
                                     line);
        }
        return WideToAnsiCounting(wide, replaced);
    }
    case kSourceOem866:
        return OemToAnsi(text);
    default:
        return AnsiString(text);
    }
}
