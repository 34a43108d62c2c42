// Rules for Windows-1251 text shared by the readers and runs.
#include "text/text_rules.h"

#include <array>

namespace {

char16_t WideUpper(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F) // а-я
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F) // ѐ-џ, ё among them
        return c - 0x50;
    if (c == 0x0491) // ґ
        return 0x0490;
    return c;
}

const std::array<char, 256>& UpperTable() {
    static const auto table = [] {
        std::array<char, 256> t{};
        for (unsigned b = 0; b < 256; ++b) {
            unsigned char out;
            const char16_t upper = WideUpper(AnsiCharToWide(static_cast<unsigned char>(b)));
            t[b] = WideCharToAnsi(upper, out) ? static_cast<char>(out) : static_cast<char>(b);
        }
        return t;
    }();
    return table;
}

bool WideIsAlphaNumeric(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= 0x0400 && c <= 0x04FF) || c == 0x00B5; // Cyrillic block, micro sign
}

} // namespace

bool AnsiIsAlphaNumeric(char c) {
    return WideIsAlphaNumeric(AnsiCharToWide(static_cast<unsigned char>(c)));
}

std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

char AnsiUpperChar(char c) {
    return UpperTable()[static_cast<unsigned char>(c)];
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    const auto& table = UpperTable();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (table[static_cast<unsigned char>(a[i])] != table[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

AnsiString UpperFileExtension(const std::filesystem::path& fileName) {
    const std::string name = fileName.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    AnsiString extension = name.substr(dot);
    // Only the Latin letters matter here; the name's other bytes are UTF-8 on this platform.
    for (char& c : extension)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return extension;
}
