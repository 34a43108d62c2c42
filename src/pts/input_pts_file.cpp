// The PTS file reader.
#include "pts/float_text.h"
#include "pts/xyz_number_input.h"

#include "text/string_file.h"

namespace {
// Splits at the first comma; both parts stripped of codes 0 to 32. Without a comma the head is
// the whole text and the tail is empty.
void SplitAtComma(std::string_view text, std::string_view& head, std::string_view& tail) {
    const std::size_t p = text.find(',');
    if (p == std::string_view::npos) {
        head = TrimControls(text);
        tail = {};
        return;
    }
    head = TrimControls(text.substr(0, p));
    tail = TrimControls(text.substr(p + 1));
}
} // namespace

void ParsePtsLine(std::string_view line, AnsiString& number, AnsiString& comment, double& x,
                  double& y) {
    std::string_view head, tail;
    SplitAtComma(line, head, tail);
    std::string_view numberText = head;
    SplitAtComma(tail, head, tail);
    const double nx = InvariantTextToFloat(head);
    SplitAtComma(tail, head, tail);
    const double ny = InvariantTextToFloat(head);
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
        std::string_view line = TrimControls(m_line);
        if (line.empty())
            continue;
        ParsePtsLine(line, number, comment, x, y);
        return true;
    }
    return false;
}
