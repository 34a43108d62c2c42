// The survey file formats and the choice of a reader by extension.
#include "sdr/survey_readers.h"

#include "sdr/gsi_format.h"

#include "text/number_text.h"
#include "text/text_rules.h"

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
    std::unique_ptr<IPointFormat> (*create)();
};

template <class Format> std::unique_ptr<IPointFormat> Create() {
    return std::make_unique<Format>();
}

// One line per format the survey wizard opens.
const TSurveyFormat kSurveyFormats[] = {
    {"sdr", &Create<TSdrFormat>},
    {"rpt", &Create<TRptFormat>},
    {"gsi", &Create<TGsiFormat>},
};

} // namespace

std::unique_ptr<TXYZNumberReader> ReaderForFile(const std::filesystem::path& fileName) {
    const AnsiString extension = UpperFileExtension(fileName);
    for (const TSurveyFormat& format : kSurveyFormats)
        if (AnsiSameText(extension, AnsiString(".") + format.extension))
            return std::make_unique<TXYZNumberReader>(fileName, format.create());
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
    if (!IsSdrCoordinateRecord(line))
        return TLineOutcome::NoPoint();
    if (!m_parser.ParseLine(line))
        return TLineOutcome::Skip(TSkipReason::NoNumber);
    point.Number = m_parser.Number();
    point.X = m_parser.X();
    point.Y = m_parser.Y();
    point.Z = m_parser.Z();
    point.Comment.clear();
    return TLineOutcome::Point();
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
        return TLineOutcome::Point();
    }
    return TLineOutcome::NoPoint();
}

} // namespace SDRReader
