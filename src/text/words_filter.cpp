#include "text/words_filter.h"

#include "text/text_rules.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

AnsiString Upper(std::string_view text) {
    AnsiString upper(text);
    for (char& c : upper)
        c = AnsiUpperChar(c);
    return upper;
}

bool OccursAtWordStart(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        if (at == 0 || !AnsiIsAlphaNumeric(text[at - 1]))
            return true;
    }
    return false;
}

} // namespace

void TWordsFilter::SetText(std::string_view text) {
    if (text == m_text)
        return;
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    m_text = AnsiString(text.substr(first, last - first));
    m_words.clear();
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]))
            ++i;
        if (i > start)
            m_words.push_back(Upper(text.substr(start, i - start)));
    }
}

bool TWordsFilter::Matches(std::string_view text) const {
    if (m_words.empty())
        return true;
    const AnsiString upper = Upper(text);
    for (const AnsiString& word : m_words)
        if (!OccursAtWordStart(upper, word))
            return false;
    return true;
}
