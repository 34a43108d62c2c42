// Text in the module is single-byte Windows-1251 held in AnsiString; these conversions are the
// only way it meets UTF-16, UTF-8 and OEM 866.
#pragma once

#include <string>
#include <string_view>

using AnsiString = std::string; // Windows-1251 text

namespace codepage {
constexpr unsigned kAnsi = 1251;
constexpr unsigned kOem = 866;
constexpr unsigned kUtf16LE = 1200;
constexpr unsigned kUtf16BE = 1201;
constexpr unsigned kUtf8 = 65001;
// What a character outside Windows-1251 becomes, as the system's default character.
constexpr char kReplacement = '?';
} // namespace codepage

char16_t AnsiCharToWide(unsigned char c);
char16_t OemCharToWide(unsigned char c);
// The Windows-1251 byte of a UTF-16 unit; false when the code page has none.
bool WideCharToAnsi(char16_t c, unsigned char& out);

std::u16string AnsiToWide(std::string_view text);
AnsiString WideToAnsi(std::u16string_view text);
AnsiString OemToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);
std::string WideToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToWide(std::string_view text);
AnsiString Utf8ToAnsi(std::string_view text);

// Windows-1251 text of a UTF-8 source literal: Ansi("Импорт").
inline AnsiString Ansi(std::string_view utf8Literal) {
    return Utf8ToAnsi(utf8Literal);
}
