// Separator detection.
#include "textimport/separator_detection.h"

#include <algorithm>

namespace {

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

} // namespace

std::optional<char> DetectSeparator(const std::vector<std::string_view>& lines) {
    std::optional<char> winner;
    std::ptrdiff_t best = 1;
    for (const char candidate : {'\t', ';', ','}) {
        std::ptrdiff_t columns = 0;
        for (const std::string_view line : lines)
            columns = std::max(columns, std::count(line.begin(), line.end(), candidate) + 1);
        // A later candidate must give strictly more columns.
        if (columns > best) {
            best = columns;
            winner = candidate;
        }
    }
    return winner;
}

std::vector<std::string_view> LeadingLines(std::string_view text, std::size_t maxLines) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < maxLines) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        if (end == text.size())
            break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::optional<char> FileSeparatorOverride(std::string_view firstFileText, char stored) {
    const std::vector<std::string_view> lines = LeadingLines(firstFileText, kDetectedLines);
    const auto header = std::find_if_not(lines.begin(), lines.end(), IsBlank);
    if (header == lines.end() || header->find(stored) != std::string_view::npos)
        return std::nullopt;
    const std::optional<char> detected = DetectSeparator(lines);
    if (detected == stored)
        return std::nullopt;
    return detected;
}
