// The survey file formats and the choice of a reader by extension.
#include "sdr/survey_readers.h"

#include "sdr/gsi_format.h"

#include "text/number_text.h"
#include "text/sub_string_info.h"
#include "text/text_rules.h"

#include <type_traits>

namespace SDRReader {

namespace {

// Pieces of RPT data split at every comma, not stripped; empty data is one empty piece.
void SplitPieces(std::string_view data, std::vector<std::string_view>& pieces) {
    pieces.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = data.find(',', start);
        if (p == std::string_view::npos) {
            pieces.push_back(data.substr(start));
            return;
        }
        pieces.push_back(data.substr(start, p - start));
        start = p + 1;
    }
}

struct TSurveyFormat {
    const char* extension; // lower case, without the dot
    std::unique_ptr<IPointFormat> (*create)(const TSurveyReadOptions& options);
};

template <class Format> std::unique_ptr<IPointFormat> Create(const TSurveyReadOptions& options) {
    if constexpr (std::is_constructible_v<Format, const TSurveyReadOptions&>)
        return std::make_unique<Format>(options);
    else
        return std::make_unique<Format>();
}

// The SDR33 fields of a set-up record: 16 characters from a 1-based position.
constexpr std::int32_t kSdrFieldLength = 16;

// A number field of the record, by the rule of the coordinate record; empty when it is blank or
// does not read. A field that reads only as a hexadecimal integer raises the conversion error.
std::optional<double> SdrNumber(std::string_view line, std::int32_t start) {
    const TSubStringInfo field(kFieldNumber, start, kSdrFieldLength);
    bool ok = false;
    TParsedValue value;
    field.ParseField(line, ok, value);
    if (!ok)
        return std::nullopt;
    return std::get<double>(value);
}

// A point or station id field, stripped as the coordinate record's number is.
std::string_view SdrText(std::string_view line, std::size_t start) {
    if (line.size() < start)
        return {};
    return TrimControls(line.substr(start - 1, kSdrFieldLength));
}

// A one-character code of the header; blank when the line is shorter.
char SdrCode(std::string_view line, std::size_t position) {
    return line.size() >= position ? line[position - 1] : ' ';
}

// One line per format the survey wizard opens.
const TSurveyFormat kSurveyFormats[] = {
    {"sdr", &Create<TSdrFormat>},
    {"rpt", &Create<TRptFormat>},
    {"gsi", &Create<TGsiFormat>},
};

} // namespace

std::unique_ptr<TXYZNumberReader> ReaderForFile(const std::filesystem::path& fileName,
                                                const TSurveyReadOptions& options) {
    const AnsiString extension = UpperFileExtension(fileName);
    for (const TSurveyFormat& format : kSurveyFormats)
        if (AnsiSameText(extension, AnsiString(".") + format.extension))
            return std::make_unique<TXYZNumberReader>(fileName, format.create(options));
    throw EUnknownFileFormat(Ansi("Неизвестный формат файла \"") + Utf8ToAnsi(fileName.string()) +
                             "\"");
}

const std::vector<const char*>& SurveyFileExtensions() {
    static const std::vector<const char*> extensions = [] {
        std::vector<const char*> list;
        for (const TSurveyFormat& format : kSurveyFormats)
            list.push_back(format.extension);
        return list;
    }();
    return extensions;
}

TLineOutcome TSdrFormat::ReadLine(std::string_view line, TNXYZPoint& point) {
    ++m_line;
    if (!IsSdrCoordinateRecord(line))
        return m_options.ReduceObservations ? ReadSetupRecord(line) : TLineOutcome::NoPoint();
    if (!m_parser.ParseLine(line))
        return TLineOutcome::Skip(TSkipReason::NoNumber);
    point.Number = m_parser.Number();
    point.X = m_parser.X();
    point.Y = m_parser.Y();
    point.Z = m_parser.Z();
    point.Comment.clear();
    point.Computed = false;
    if (m_options.ReduceObservations)
        m_held.NoteCoordinateRecord(point.Number);
    return TLineOutcome::Point();
}

TLineOutcome TSdrFormat::ReadSetupRecord(std::string_view line) {
    const std::string_view code = line.substr(0, 4);
    if (code == "00NM") {
        ReadHeader(line);
        return TLineOutcome::NoPoint();
    }
    if (code == "02TP" || code == "02KI")
        return ReadStation(line);
    if (code == "03NM") {
        m_targetHeight = SdrNumber(line, 5);
        return m_targetHeight ? TLineOutcome::NoPoint()
                              : TLineOutcome::Skip(TSkipReason::Malformed);
    }
    if (code == "07TP" || code == "07KI")
        return ReadBacksight(line);
    if (code == "09F1" || code == "09F2")
        return ReadObservation(line);
    return TLineOutcome::NoPoint();
}

void TSdrFormat::ReadHeader(std::string_view line) {
    switch (SdrCode(line, 41)) {
    case ' ':
    case '1':
        m_angleUnit = TAngleUnit::Degrees;
        break;
    case '2':
        m_angleUnit = TAngleUnit::Gons;
        break;
    case '4':
        m_angleUnit = TAngleUnit::Mils;
        break;
    default:
        m_angleUnit.reset();
    }
    switch (SdrCode(line, 45)) {
    case ' ':
    case '1':
        m_eastingFirst = false;
        break;
    case '2':
        m_eastingFirst = true;
        break;
    default:
        m_eastingFirst.reset();
    }
}

TLineOutcome TSdrFormat::ReadStation(std::string_view line) {
    m_station.reset();
    m_stationId = SdrText(line, 5);
    const std::optional<double> first = SdrNumber(line, 21);
    const std::optional<double> second = SdrNumber(line, 37);
    if (!first || !second)
        return TLineOutcome::Skip(TSkipReason::Malformed);
    TStationSetup station;
    const bool eastingFirst = m_eastingFirst.value_or(false);
    station.Northing = eastingFirst ? *second : *first;
    station.Easting = eastingFirst ? *first : *second;
    station.Height = SdrNumber(line, 53);
    station.InstrumentHeight = SdrNumber(line, 69);
    m_station = station;
    return TLineOutcome::NoPoint();
}

TLineOutcome TSdrFormat::ReadBacksight(std::string_view line) {
    // The backsight of another station than the one set up orients nothing.
    if (!m_station || SdrText(line, 5) != m_stationId)
        return TLineOutcome::NoPoint();
    m_station->Orientation.reset();
    const std::optional<double> azimuth = SdrNumber(line, 37);
    const std::optional<double> reading = SdrNumber(line, 53);
    if (!azimuth || !reading)
        return TLineOutcome::Skip(TSkipReason::Malformed);
    if (m_angleUnit)
        m_station->Orientation =
            AngleRadians(*azimuth, *m_angleUnit) - AngleRadians(*reading, *m_angleUnit);
    return TLineOutcome::NoPoint();
}

TLineOutcome TSdrFormat::ReadObservation(std::string_view line) {
    const std::string_view number = SdrText(line, 21);
    const std::optional<double> zenith = SdrNumber(line, 53);
    const std::optional<double> reading = SdrNumber(line, 69);
    if (!zenith || !reading)
        return TLineOutcome::Skip(TSkipReason::Malformed);
    std::variant<TReducedPoint, TSkipReason> reduced = TSkipReason::NotReducible;
    if (m_angleUnit && m_eastingFirst) {
        TObservation observation;
        // Angles alone, without a distance, give no point.
        observation.SlopeDistance = SdrNumber(line, 37).value_or(0);
        observation.Zenith = AngleRadians(*zenith, *m_angleUnit);
        observation.Reading = AngleRadians(*reading, *m_angleUnit);
        observation.TargetHeight = m_targetHeight;
        const bool fromStation = m_station && SdrText(line, 5) == m_stationId;
        reduced = Reduce(fromStation ? &*m_station : nullptr, observation);
    }
    m_held.Hold(number, m_line, reduced, m_eastingFirst.value_or(false));
    return TLineOutcome::NoPoint();
}

TLineOutcome TRptFormat::ReadLine(std::string_view line, TNXYZPoint& point) {
    if (line.size() < 8)
        return TLineOutcome::NoPoint();
    const std::string_view tag = line.substr(0, 8);
    SplitPieces(line.substr(8), m_pieces);
    if (tag == "STN     ") {
        m_station =
            m_pieces.size() >= 3 ? AnsiString(m_pieces[0]) + AnsiString(m_pieces[2]) : AnsiString();
    } else if (tag == "SS      ") {
        m_sighting =
            m_pieces.size() >= 3 ? AnsiString(m_pieces[0]) + AnsiString(m_pieces[2]) : AnsiString();
    } else if (tag == "XYZ     " && m_pieces.size() == 3) {
        const double x = ReadDecimalOrRaise(m_pieces[0], kInvariantForm);
        const double y = ReadDecimalOrRaise(m_pieces[1], kInvariantForm);
        const double z = ReadDecimalOrRaise(m_pieces[2], kInvariantForm);
        point.Number = m_station + m_sighting;
        point.X = x;
        point.Y = y;
        point.Z = z;
        point.Comment.clear();
        point.Computed = false;
        return TLineOutcome::Point();
    }
    return TLineOutcome::NoPoint();
}

} // namespace SDRReader
