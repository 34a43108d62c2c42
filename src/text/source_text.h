// Turning text loaded from files in the code page the user chose into Windows-1251.
#pragma once

#include "platform/codepage.h"

#include <string_view>

// The code page choices of the text wizard, by list index.
enum TSourceCodePage : int {
    kSourceWindows1251 = 0, // "Windows-1251": taken as it is
    kSourceUtf8 = 1,        // "UTF-8"
    kSourceOem866 = 2,      // "OEM 866"
};

// Converts `text` from the chosen code page into Windows-1251. Never fails: UTF-8 that is
// malformed (a bad or missing continuation byte) gives an empty text; an unknown choice leaves
// the text as it is. The UTF-8 reading knows one-, two- and three-byte sequences only, and a
// byte-order mark is kept as the character U+FEFF (which Windows-1251 lacks).
AnsiString ConvertSourceText(std::string_view text, int codePageChoice);
