// The PTS file reader.
#include "pts/xyz_number_input.h"

#include "text/number_text.h"
#include "text/separator.h"
#include "text/string_file.h"
#include "text/text_rules.h"

void ParsePtsLine(std::string_view line, AnsiString& number, AnsiString& comment, double& x,
                  double& y) {
    std::string_view head, tail;
    SplitAtSeparator(line, ",", head, tail);
    const std::string_view numberText = head;
    SplitAtSeparator(tail, ",", head, tail);
    const double nx = ReadDecimalOrRaise(head, kInvariantForm);
    SplitAtSeparator(tail, ",", head, tail);
    const double ny = ReadDecimalOrRaise(head, kInvariantForm);
    number.assign(numberText);
    comment.assign(tail);
    x = nx;
    y = ny;
}

TInputPtsFile::TInputPtsFile(const std::filesystem::path& fileName)
    : m_lines(std::make_unique<TStringFile>(fileName, codepage::kAnsi, kBufferSize)) {}

TInputPtsFile::~TInputPtsFile() = default;

bool TInputPtsFile::ReadPoint(AnsiString& number, AnsiString& comment, double& x, double& y) {
    while (!m_lines->End()) {
        m_lines->ReadLine(m_line);
        const std::string_view line = TrimControls(m_line);
        if (line.empty())
            continue;
        ParsePtsLine(line, number, comment, x, y);
        return true;
    }
    return false;
}
