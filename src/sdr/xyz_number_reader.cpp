// The SDR and RPT file readers.
#include "sdr/xyz_number_reader.h"

#include "text/number_text.h"
#include "text/string_file.h"
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

std::unique_ptr<TStringFile> OpenLines(const std::filesystem::path& fileName) {
    return std::make_unique<TStringFile>(fileName, codepage::kAnsi, TXYZNumberReader::kBufferSize);
}
} // namespace

std::unique_ptr<TXYZNumberReader> ReaderForFile(const std::filesystem::path& fileName) {
    const AnsiString extension = UpperFileExtension(fileName);
    if (extension == ".SDR")
        return std::make_unique<TSDRFileReader>(fileName);
    if (extension == ".RPT")
        return std::make_unique<TRPTFileReader>(fileName);
    throw EUserError(Ansi("Неизвестный формат файла \"") + Utf8ToAnsi(fileName.string()) + "\"");
}

TSDRFileReader::TSDRFileReader(const std::filesystem::path& fileName)
    : m_lines(OpenLines(fileName)) {}

TSDRFileReader::~TSDRFileReader() = default;

bool TSDRFileReader::ReadPoint(AnsiString& number, double& x, double& y, double& z) {
    while (!m_lines->End()) {
        m_lines->ReadLine(m_line);
        if (TrimControls(m_line).empty())
            continue;
        if (m_parser.ParseLine(m_line)) {
            number = m_parser.Number();
            x = m_parser.X();
            y = m_parser.Y();
            z = m_parser.Z();
            return true;
        }
    }
    return false;
}

TRPTFileReader::TRPTFileReader(const std::filesystem::path& fileName)
    : m_lines(OpenLines(fileName)) {}

TRPTFileReader::~TRPTFileReader() = default;

bool TRPTFileReader::ReadPoint(AnsiString& number, double& x, double& y, double& z) {
    while (!m_lines->End()) {
        m_lines->ReadLine(m_line);
        if (m_line.size() < 8)
            continue;
        const std::string_view line = m_line;
        const std::string_view tag = line.substr(0, 8);
        SplitPieces(line.substr(8), m_pieces);
        if (tag == "STN     ") {
            m_station = m_pieces.size() >= 3 ? AnsiString(m_pieces[0]) + AnsiString(m_pieces[2])
                                             : AnsiString();
        } else if (tag == "SS      ") {
            m_sighting = m_pieces.size() >= 3 ? AnsiString(m_pieces[0]) + AnsiString(m_pieces[2])
                                              : AnsiString();
        } else if (tag == "XYZ     " && m_pieces.size() == 3) {
            const double px = ReadDecimalOrRaise(m_pieces[0], kInvariantForm);
            const double py = ReadDecimalOrRaise(m_pieces[1], kInvariantForm);
            const double pz = ReadDecimalOrRaise(m_pieces[2], kInvariantForm);
            number = m_station + m_sighting;
            x = px;
            y = py;
            z = pz;
            return true;
        }
    }
    return false;
}

} // namespace SDRReader
