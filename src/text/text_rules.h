// Rules for Windows-1251 text that more than one reader or run follows: trimming, letter case
// (Latin and Cyrillic, without the C locale) and the extension of a file name.
#pragma once

#include "platform/codepage.h"

#include <filesystem>
#include <string_view>

// `text` without leading and trailing characters of codes 0 to 32.
[[nodiscard]] std::string_view TrimControls(std::string_view text);

// The capital form of a Windows-1251 character; other characters stay as they are.
[[nodiscard]] char AnsiUpperChar(char c);
// Equal when the texts differ at most in letter case.
[[nodiscard]] bool AnsiSameText(std::string_view a, std::string_view b);
// True for the letters and digits of Windows-1251 (Latin, Cyrillic and the other letters of the
// code page), as the system's character classes have them.
[[nodiscard]] bool AnsiIsAlphaNumeric(char c);

// The extension of a file name: the text from the last "." of the name after its folder, in
// capitals (".PTS"); empty when the name has no dot. A dot in a folder name does not count.
[[nodiscard]] AnsiString UpperFileExtension(const std::filesystem::path& fileName);
