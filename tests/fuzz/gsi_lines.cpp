// Leica GSI blocks through the point format: any line gives an outcome without throwing, the same
// outcome every time, and a point whose words written again as GSI-16 read back the same. The
// input's lines as a file, reducing observations: a coordinate block reads as it does without
// reducing, and the computed points come after the last line, in the order of their lines, none
// numbered as a coordinate block.
#include "fuzz_support.h"

#include "sdr/gsi_format.h"

#include <cmath>
#include <cstdio>
#include <set>

namespace {

// The smallest step of a GSI-16 word in metres: unit 8, 1/100 mm.
constexpr double kStep = 1e-5;

bool SamePoint(const TNXYZPoint& a, const TNXYZPoint& b) {
    return a.Number == b.Number && a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

// A GSI-16 word of a length in 1/100 mm; false when the value needs more than 16 digits.
bool AppendLength(std::string& line, int index, double metres) {
    const double steps = std::round(std::fabs(metres) / kStep);
    if (!(steps < 1e16))
        return false;
    char word[32];
    std::snprintf(word, sizeof word, "%02d..08%c%016llu ", index, metres < 0 ? '-' : '+',
                  static_cast<unsigned long long>(steps));
    line += word;
    return true;
}

bool Close(double read, double written) {
    return std::fabs(read - written) <= kStep / 2 + std::fabs(written) * 1e-15;
}

// The input's lines through a plain and a reducing format side by side.
void ReadAsFile(std::string_view text) {
    SDRReader::TSurveyReadOptions reducing;
    reducing.ReduceObservations = true;
    SDRReader::TGsiFormat plain;
    SDRReader::TGsiFormat reduced(reducing);
    std::set<AnsiString> recordNumbers;
    std::int64_t lines = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lines;
        TNXYZPoint a;
        TNXYZPoint b;
        const TLineOutcome outcome = reduced.ReadLine(line, a);
        const TLineOutcome without = plain.ReadLine(line, b);
        if (outcome.Kind != TLineOutcome::TKind::Point) {
            // Reducing reads more words: a block may be malformed only then, never the reverse.
            FUZZ_CHECK(without.Kind != TLineOutcome::TKind::Point ||
                       outcome.Kind == TLineOutcome::TKind::Skipped);
            continue;
        }
        FUZZ_CHECK(without.Kind == TLineOutcome::TKind::Point && SamePoint(a, b) && !a.Computed);
        recordNumbers.insert(a.Number);
    }
    TNXYZPoint point;
    std::int64_t last = 0;
    while (const std::optional<THeldLine> held = reduced.NextHeld(point)) {
        FUZZ_CHECK(held->Line > last && held->Line <= lines);
        last = held->Line;
        if (held->Outcome.Kind != TLineOutcome::TKind::Point) {
            FUZZ_CHECK(held->Outcome.Kind == TLineOutcome::TKind::Skipped);
            continue;
        }
        FUZZ_CHECK(point.Computed && !recordNumbers.contains(point.Number));
        FUZZ_CHECK(!point.Number.empty() && point.Number.size() <= 16);
        FUZZ_CHECK(std::isfinite(point.X) && std::isfinite(point.Y));
        FUZZ_CHECK(!point.Z || std::isfinite(*point.Z));
    }
    FUZZ_CHECK(!plain.NextHeld(point));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    ReadAsFile(line);
    SDRReader::TGsiFormat format;
    TNXYZPoint first;
    const TLineOutcome outcome = format.ReadLine(line, first);
    TNXYZPoint second;
    second.Z = 1; // a height left from an earlier point must not survive
    const TLineOutcome again = format.ReadLine(line, second);
    FUZZ_CHECK(outcome.Kind == again.Kind && outcome.Reason == again.Reason);
    if (outcome.Kind != TLineOutcome::TKind::Point)
        return 0;
    FUZZ_CHECK(SamePoint(first, second));
    FUZZ_CHECK(std::isfinite(first.X) && std::isfinite(first.Y));
    FUZZ_CHECK(!first.Z || std::isfinite(*first.Z));
    // The number is a piece of the line, without the zeros before it.
    FUZZ_CHECK(!first.Number.empty() && first.Number.size() <= 16);
    FUZZ_CHECK(line.find(first.Number) != std::string_view::npos);
    FUZZ_CHECK(first.Number == "0" || (first.Number.front() != '0' && first.Number.front() != ' '));

    std::string written =
        "*110001+" + std::string(16 - first.Number.size(), '0') + first.Number + " ";
    if (!AppendLength(written, 81, first.X) || !AppendLength(written, 82, first.Y) ||
        (first.Z && !AppendLength(written, 83, *first.Z)))
        return 0;
    TNXYZPoint read;
    FUZZ_CHECK(format.ReadLine(written, read).Kind == TLineOutcome::TKind::Point);
    FUZZ_CHECK(read.Number == first.Number);
    FUZZ_CHECK(Close(read.X, first.X) && Close(read.Y, first.Y));
    FUZZ_CHECK(read.Z.has_value() == first.Z.has_value());
    FUZZ_CHECK(!first.Z || Close(*read.Z, *first.Z));
    return 0;
}
