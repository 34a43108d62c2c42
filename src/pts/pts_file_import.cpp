// The PTS import driver and the PTS preview lister.
#include "pts/pts_file_import.h"

namespace PtsImportForms {

void TNXYZFileImport::Run() {
    m_extent.Clear();
    AnsiString number, comment;
    double x = 0, y = 0;
    while (m_reader.ReadPoint(number, comment, x, y)) {
        const TPlanePoint p = m_conversion.Convert({x, y});
        m_writer.AddPoint(number, comment, p.X, p.Y);
        m_extent.Extend(p);
    }
}

AnsiString PtsPreviewLine(const AnsiString& number, double x, double y, const AnsiString& comment) {
    return PointPreviewLine(number, {x, y}) + ' ' + comment;
}

void TNXYZImportToStrings::Run() {
    AnsiString number, comment;
    double x = 0, y = 0;
    while (m_reader.ReadPoint(number, comment, x, y))
        m_lines.Add(PtsPreviewLine(number, x, y, comment));
}

} // namespace PtsImportForms
