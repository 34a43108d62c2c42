#include "source_text.h"

namespace {

// Any byte with the high bit set leads a sequence: three bytes when its bit 5 is set, else
// two. Returns false on a bad or missing continuation byte.
bool DecodeSourceUtf8(std::string_view text, std::u16string& out) {
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
            return false;
        if (lead & 0x20) {
            unsigned c2 = 0;
            if (!continuation(i + 2, c2))
                return false;
            out +=
                static_cast<char16_t>(((((lead * 64) + (c1 & 0x3F)) & 0xFFF) * 64) + (c2 & 0x3F));
            i += 3;
        } else {
            out += static_cast<char16_t>((lead & 0x3F) * 64 + (c1 & 0x3F));
            i += 2;
        }
    }
    return true;
}

} // namespace

AnsiString ConvertSourceText(std::string_view text, int codePageChoice) {
    switch (codePageChoice) {
    case kSourceUtf8: {
        std::u16string wide;
        if (!DecodeSourceUtf8(text, wide))
            return {};
        return WideToAnsi(wide);
    }
    case kSourceOem866:
        return OemToAnsi(text);
    default:
        return AnsiString(text);
    }
}
