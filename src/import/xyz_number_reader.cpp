// The reader of point files.
#include "import/xyz_number_reader.h"

#include "text/number_text.h"
#include "text/string_file.h"

AnsiString FileNameText(const std::filesystem::path& fileName) {
    return Utf8ToAnsi(fileName.string());
}

TXYZNumberReader::TXYZNumberReader(const std::filesystem::path& fileName,
                                   std::unique_ptr<IPointFormat> format)
    : m_fileName(fileName), m_format(std::move(format)),
      m_lines(std::make_unique<TStringFile>(fileName, codepage::kAnsi, kBufferSize)) {}

TXYZNumberReader::~TXYZNumberReader() = default;

bool TXYZNumberReader::ReadPoint(TNXYZPoint& point) {
    try {
        while (!m_lines->End()) {
            m_lines->ReadLine(m_line);
            ++m_lineNumber;
            const TLineOutcome outcome = m_format->ReadLine(m_line, point);
            switch (outcome.Kind) {
            case TLineOutcome::TKind::Point:
                point.Line = m_lineNumber;
                return true;
            case TLineOutcome::TKind::Skipped:
                m_skipped.Add(outcome.Reason, m_lineNumber);
                break;
            case TLineOutcome::TKind::NoPoint:
                break;
            }
        }
        while (const std::optional<THeldLine> held = m_format->NextHeld(point)) {
            if (held->Outcome.Kind == TLineOutcome::TKind::Point) {
                point.Line = held->Line;
                return true;
            }
            if (held->Outcome.Kind == TLineOutcome::TKind::Skipped)
                m_skipped.Add(held->Outcome.Reason, held->Line);
        }
    } catch (const std::exception& e) {
        RaiseAtLine(e);
    }
    return false;
}

double TXYZNumberReader::Fraction() const {
    const std::uint64_t size = m_lines->Size();
    if (size == 0)
        return 1;
    const std::uint64_t read = std::min(m_lines->BytesRead(), size);
    return static_cast<double>(read) / static_cast<double>(size);
}

void TXYZNumberReader::RaiseAtLine(const std::exception& error) const {
    AnsiString message = Ansi("Файл ") + FileNameText(m_fileName.filename()) + Ansi(", строка ") +
                         std::to_string(m_lineNumber) + ": ";
    // A number that does not read is named in the user's language; the runtime's own text
    // stays out of it.
    if (const auto* convert = dynamic_cast<const EConvertError*>(&error))
        message += Ansi("значение \"") + convert->Text() + Ansi("\" не является числом");
    else
        message += ExceptionMessage(error);
    throw EPointFileError(message);
}
