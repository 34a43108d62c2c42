// The word filter of lists and trees: every word of the filter text must begin a word of the
// text it is matched against, letter case ignored (Latin and Cyrillic).
#pragma once

#include "platform/codepage.h"

#include <string_view>
#include <vector>

class TWordsFilter {
public:
    // Words are runs of characters above code 32; the text is kept trimmed. Setting the text
    // already kept changes nothing.
    void SetText(std::string_view text);
    [[nodiscard]] const AnsiString& Text() const { return m_text; }
    [[nodiscard]] const std::vector<AnsiString>& Words() const { return m_words; }

    // True without words; otherwise every word occurs at a word start of the text (its first
    // character, or one after a character that is not a letter or digit).
    [[nodiscard]] bool Matches(std::string_view text) const;

private:
    AnsiString m_text;
    std::vector<AnsiString> m_words;
};
