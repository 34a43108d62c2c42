// The PTS import driver and the PTS preview lister.
#include "pts/pts_file_import.h"

#include "coords/number_text.h"
#include "platform/locale.h"

namespace PtsImportForms {

TNXYZFileImport::TNXYZFileImport(TXYZNumberInput& reader, const TPtsWriterSettings& writerSettings,
                                 const TContourTransformer* transformer,
                                 const TTransformMatrix& matrix)
    : m_writer(std::make_unique<TPtsImportCache>(writerSettings)), m_reader(reader),
      m_conversion(transformer, matrix) {}

TNXYZFileImport::~TNXYZFileImport() = default;

void TNXYZFileImport::Run() {
    m_extent.Clear();
    AnsiString number, comment;
    double x = 0, y = 0;
    while (m_reader.ReadPoint(number, comment, x, y)) {
        const TPlanePoint p = m_conversion.Convert({x, y});
        m_writer->AddPoint(number, comment, p.X, p.Y);
        m_extent.Extend(p);
    }
}

AnsiString PtsPreviewLine(const AnsiString& number, double x, double y, const AnsiString& comment) {
    const char sep = DecimalSeparator();
    AnsiString line = number;
    line += ' ';
    line += FormatFixed(x, 2, sep);
    line += ' ';
    line += FormatFixed(y, 2, sep);
    line += ' ';
    line += comment;
    return line;
}

void TNXYZImportToStrings::Run() {
    AnsiString number, comment;
    double x = 0, y = 0;
    while (m_reader.ReadPoint(number, comment, x, y))
        m_lines.Add(PtsPreviewLine(number, x, y, comment));
}

} // namespace PtsImportForms
