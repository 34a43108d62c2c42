// Letter case of Windows-1251 text (Latin and Cyrillic), without the C locale.
#pragma once

#include "platform/codepage.h"

#include <string_view>

// The capital form of a Windows-1251 character; other characters stay as they are.
char AnsiUpperChar(char c);
// Equal when the texts differ at most in letter case.
bool AnsiSameText(std::string_view a, std::string_view b);
