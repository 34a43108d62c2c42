// Splitting a line at a separator.
#include "text/separator.h"

std::string_view TrimExceptSeparator(std::string_view text, std::string_view separator) {
    const bool keep = separator.size() == 1;
    const auto trimmable = [&](char c) {
        return static_cast<unsigned char>(c) <= 32 && !(keep && c == separator[0]);
    };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && trimmable(text[first]))
        ++first;
    while (last > first && trimmable(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

void SplitAtSeparator(std::string_view text, std::string_view separator, std::string_view& head,
                      std::string_view& tail) {
    const std::size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
    if (p == std::string_view::npos) {
        head = TrimExceptSeparator(text, separator);
        tail = {};
        return;
    }
    head = TrimExceptSeparator(text.substr(0, p), separator);
    tail = TrimExceptSeparator(text.substr(p + separator.size()), separator);
}

void SplitAtSeparator(std::string_view text, std::string_view separator, AnsiString& head,
                      AnsiString& tail) {
    std::string_view headView, tailView;
    SplitAtSeparator(text, separator, headView, tailView);
    // Either output may hold the text the views point into: copy both before assigning.
    AnsiString newHead(headView);
    AnsiString newTail(tailView);
    head = std::move(newHead);
    tail = std::move(newTail);
}
