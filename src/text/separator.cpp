#include "separator.h"

AnsiString TrimExceptSeparator(std::string_view text, std::string_view separator) {
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
    return AnsiString(text.substr(first, last - first));
}

void SplitAtSeparator(std::string_view text, std::string_view separator, AnsiString& head,
                      AnsiString& tail) {
    head.clear();
    tail.clear();
    const std::size_t p = separator.empty() ? std::string_view::npos : text.find(separator);
    if (p == std::string_view::npos) {
        head = TrimExceptSeparator(text, separator);
        return;
    }
    head = TrimExceptSeparator(text.substr(0, p), separator);
    tail = TrimExceptSeparator(text.substr(p + separator.size()), separator);
}
