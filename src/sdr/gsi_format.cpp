// Leica GSI point files: GSI-8 and GSI-16 data blocks, one a line, into point records.
#include "sdr/gsi_format.h"

#include <cstdint>
#include <optional>

namespace SDRReader {

namespace {

// A word without the blank that follows it: index and information (6), sign (1), data.
constexpr std::size_t kHeadLength = 7;
constexpr std::size_t kGsi8WordLength = kHeadLength + 8;
constexpr std::size_t kGsi16WordLength = kHeadLength + 16;
constexpr std::size_t kUnitPosition = 5;
constexpr std::size_t kSignPosition = 6;

constexpr int kPointNumber = 11;
constexpr int kEasting = 81;
constexpr int kNorthing = 82;
constexpr int kHeight = 83;

// The international foot, 0.3048 m, in tenths of a millimetre: a whole number, so that a value in
// feet becomes metres with one rounding.
constexpr double kFootInTenthMillimetres = 3048;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// What ends a line besides its words: the line end, and the end-of-file character that old
// transfer programs leave on the last line.
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n' || c == '\x1a';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool OnlyBlanks(std::string_view text) {
    for (const char c : text)
        if (!IsBlank(c))
            return false;
    return true;
}

// The metres of a coordinate word, by its unit character: 0 mm, 6 1/10 mm, 8 1/100 mm,
// 1 1/1000 ft, 7 1/10000 ft. Empty for another unit, a sign other than "+" and "-" or a
// non-digit in the data.
std::optional<double> Length(std::string_view word) {
    // Up to 16 digits, below 2^64; a value below 2^53 converts exactly.
    std::uint64_t digits = 0;
    for (std::size_t i = kHeadLength; i < word.size(); ++i) {
        const char c = word[i];
        if (!IsDigit(c))
            return std::nullopt;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const auto value = static_cast<double>(digits);
    double metres = 0;
    switch (word[kUnitPosition]) {
    case '0':
        metres = value / 1e3;
        break;
    case '6':
        metres = value / 1e4;
        break;
    case '8':
        metres = value / 1e5;
        break;
    case '1':
        metres = value * kFootInTenthMillimetres / 1e7;
        break;
    case '7':
        metres = value * kFootInTenthMillimetres / 1e8;
        break;
    default:
        return std::nullopt;
    }
    switch (word[kSignPosition]) {
    case '+':
        return metres;
    case '-':
        // No negative zero from "-0000000".
        return digits == 0 ? metres : -metres;
    default:
        return std::nullopt;
    }
}

// The point number in a word's data: without the zeros (and blanks) before it and the blanks
// after it, "0" when only zeros remain; empty when the data is blank.
std::string_view PointNumber(std::string_view word) {
    std::string_view data = word.substr(kHeadLength);
    while (!data.empty() && IsBlank(data.back()))
        data.remove_suffix(1);
    bool zeros = false;
    while (!data.empty() && (data.front() == '0' || IsBlank(data.front()))) {
        zeros = zeros || data.front() == '0';
        data.remove_prefix(1);
    }
    if (data.empty() && zeros)
        return "0";
    return data;
}

} // namespace

TLineOutcome TGsiFormat::ReadLine(std::string_view line, TNXYZPoint& point) {
    while (!line.empty() && IsLineEnd(line.back()))
        line.remove_suffix(1);
    std::size_t wordLength = kGsi8WordLength;
    if (!line.empty() && line.front() == '*') {
        wordLength = kGsi16WordLength;
        line.remove_prefix(1);
    }

    std::string_view number;
    std::optional<double> easting;
    std::optional<double> northing;
    std::optional<double> height;
    const auto malformed = TLineOutcome::Skip(TSkipReason::Malformed);
    // Words at their fixed places: a point number may hold a blank, so blanks do not split.
    // Blanks after the last word are allowed.
    while (!OnlyBlanks(line)) {
        if (line.size() < wordLength)
            return malformed;
        const std::string_view word = line.substr(0, wordLength);
        line.remove_prefix(wordLength);
        if (!line.empty()) {
            if (line.front() != ' ')
                return malformed;
            line.remove_prefix(1);
        }
        if (!IsDigit(word[0]) || !IsDigit(word[1]))
            return malformed;
        const int index = (word[0] - '0') * 10 + (word[1] - '0');
        std::optional<double>* coordinate = nullptr;
        switch (index) {
        case kPointNumber:
            number = PointNumber(word);
            if (number.empty())
                return malformed;
            continue;
        case kEasting:
            coordinate = &easting;
            break;
        case kNorthing:
            coordinate = &northing;
            break;
        case kHeight:
            coordinate = &height;
            break;
        default:
            // Observations, codes, the station and the rest: not read.
            continue;
        }
        *coordinate = Length(word);
        if (!*coordinate)
            return malformed;
    }

    if (!easting && !northing)
        // Blank lines, observations, codes, the station, a levelled height alone.
        return TLineOutcome::NoPoint();
    if (!easting || !northing || number.empty())
        return malformed;
    point.Number.assign(number);
    point.X = *easting;
    point.Y = *northing;
    point.Z = height;
    point.Comment.clear();
    point.Computed = false;
    return TLineOutcome::Point();
}

} // namespace SDRReader
