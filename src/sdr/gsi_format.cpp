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
constexpr int kHorizontalAngle = 21;
constexpr int kVerticalAngle = 22;
constexpr int kSlopeDistance = 31;
constexpr int kEasting = 81;
constexpr int kNorthing = 82;
constexpr int kHeight = 83;
constexpr int kStationEasting = 84;
constexpr int kStationNorthing = 85;
constexpr int kStationHeight = 86;
constexpr int kReflectorHeight = 87;
constexpr int kInstrumentHeight = 88;

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

// The data of a word as a whole number; empty for a non-digit.
std::optional<std::uint64_t> Digits(std::string_view word) {
    // Up to 16 digits, below 2^64; a value below 2^53 converts exactly.
    std::uint64_t digits = 0;
    for (std::size_t i = kHeadLength; i < word.size(); ++i) {
        const char c = word[i];
        if (!IsDigit(c))
            return std::nullopt;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return digits;
}

// The value with the word's sign; empty for a sign other than "+" and "-".
std::optional<double> Signed(std::string_view word, std::uint64_t digits, double value) {
    switch (word[kSignPosition]) {
    case '+':
        return value;
    case '-':
        // No negative zero from "-0000000".
        return digits == 0 ? value : -value;
    default:
        return std::nullopt;
    }
}

// The radians of an angle word, by its unit character: 2 400 gon, 3 360 degrees decimal,
// 4 360 degrees sexagesimal (degrees, minutes, seconds and tenths: ddd.mmsss), with five
// decimals, 5 6400 mil with four. Empty for another unit, a sign other than "+" and "-", a
// non-digit in the data, or sexagesimal minutes or seconds of 60 and more.
std::optional<double> Angle(std::string_view word) {
    const std::optional<std::uint64_t> digits = Digits(word);
    if (!digits)
        return std::nullopt;
    double value = 0;
    TAngleUnit unit = TAngleUnit::Degrees;
    switch (word[kUnitPosition]) {
    case '2':
        value = static_cast<double>(*digits) / 1e5;
        unit = TAngleUnit::Gons;
        break;
    case '3':
        value = static_cast<double>(*digits) / 1e5;
        break;
    case '4': {
        const std::uint64_t minutes = *digits / 1000 % 100;
        const std::uint64_t tenthSeconds = *digits % 1000;
        if (minutes >= 60 || tenthSeconds >= 600)
            return std::nullopt;
        value = static_cast<double>(*digits / 100000) + static_cast<double>(minutes) / 60 +
                static_cast<double>(tenthSeconds) / 36000;
        break;
    }
    case '5':
        value = static_cast<double>(*digits) / 1e4;
        unit = TAngleUnit::Mils;
        break;
    default:
        return std::nullopt;
    }
    const std::optional<double> angle = Signed(word, *digits, value);
    if (!angle)
        return std::nullopt;
    return AngleRadians(*angle, unit);
}

// The metres of a coordinate word, by its unit character: 0 mm, 6 1/10 mm, 8 1/100 mm,
// 1 1/1000 ft, 7 1/10000 ft. Empty for another unit, a sign other than "+" and "-" or a
// non-digit in the data.
std::optional<double> Length(std::string_view word) {
    const std::optional<std::uint64_t> digits = Digits(word);
    if (!digits)
        return std::nullopt;
    const auto value = static_cast<double>(*digits);
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
    return Signed(word, *digits, metres);
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
    ++m_line;
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
    TSetupWords setup;
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
        if (m_options.ReduceObservations) {
            if (std::optional<double>* angle = setup.Angle(index)) {
                *angle = Angle(word);
                if (!*angle)
                    return malformed;
                continue;
            }
            coordinate = setup.Length(index);
        }
        if (!coordinate) {
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
                // Codes and the rest; without reducing also the observations and the station.
                continue;
            }
        }
        *coordinate = Length(word);
        if (!*coordinate)
            return malformed;
    }

    const bool coordinates = easting || northing;
    if (coordinates && (!easting || !northing || number.empty()))
        return malformed;
    if (m_options.ReduceObservations && !ReadSetup(setup, number, coordinates))
        return malformed;
    if (!coordinates)
        // Blank lines, observations, codes, the station, a levelled height alone.
        return TLineOutcome::NoPoint();
    if (m_options.ReduceObservations)
        m_held.NoteCoordinateRecord(number);
    point.Number.assign(number);
    point.X = *easting;
    point.Y = *northing;
    point.Z = height;
    point.Comment.clear();
    point.Computed = false;
    return TLineOutcome::Point();
}

std::optional<double>* TGsiFormat::TSetupWords::Angle(int index) {
    switch (index) {
    case kHorizontalAngle:
        return &horizontal;
    case kVerticalAngle:
        return &zenith;
    default:
        return nullptr;
    }
}

std::optional<double>* TGsiFormat::TSetupWords::Length(int index) {
    switch (index) {
    case kSlopeDistance:
        return &slope;
    case kStationEasting:
        return &stationEasting;
    case kStationNorthing:
        return &stationNorthing;
    case kStationHeight:
        return &stationHeight;
    case kReflectorHeight:
        return &reflectorHeight;
    case kInstrumentHeight:
        return &instrumentHeight;
    default:
        return nullptr;
    }
}

bool TGsiFormat::ReadSetup(const TSetupWords& words, std::string_view number, bool coordinates) {
    if (words.reflectorHeight)
        m_targetHeight = words.reflectorHeight;
    if (words.stationEasting || words.stationNorthing || words.stationHeight) {
        m_station.reset();
        if (!words.stationEasting || !words.stationNorthing)
            return false;
        TStationSetup station;
        station.Easting = *words.stationEasting;
        station.Northing = *words.stationNorthing;
        station.Height = words.stationHeight;
        station.InstrumentHeight = words.instrumentHeight;
        // The instrument orients its horizontal circle itself.
        station.Orientation = 0;
        m_station = station;
        return true;
    }
    if (words.instrumentHeight && m_station)
        m_station->InstrumentHeight = words.instrumentHeight;
    // A block with coordinates keeps them; its observation is not needed.
    if (coordinates || (!words.horizontal && !words.zenith && !words.slope))
        return true;
    if (number.empty())
        return false;
    std::variant<TReducedPoint, TSkipReason> reduced = TSkipReason::NotReducible;
    if (words.horizontal && words.zenith) {
        TObservation observation;
        observation.SlopeDistance = words.slope.value_or(0);
        observation.Zenith = *words.zenith;
        observation.Reading = *words.horizontal;
        observation.TargetHeight = m_targetHeight;
        reduced = Reduce(m_station ? &*m_station : nullptr, observation);
    }
    m_held.Hold(number, m_line, reduced, true);
    return true;
}

} // namespace SDRReader
