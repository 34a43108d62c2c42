// The point sinks of the SDR import.
#include "sdr/sdr_file_import.h"

namespace SDRImporter {

void TNXYZFileImport::Run(SDRReader::TXYZNumberReader& reader) {
    m_extent.Clear();
    m_reader = &reader;
    BeginImport();
    try {
        AnsiString number;
        double x = 0, y = 0, z = 0;
        while (m_reader->ReadPoint(number, x, y, z)) {
            const TPlanePoint p = m_conversion.Convert({x, y});
            AddPoint(number, p.X, p.Y, z);
            m_extent.Extend(p);
            ++m_delivered;
        }
    } catch (...) {
        CommitAfterError(std::current_exception(), [this] { EndImport(); });
    }
    EndImport();
}

bool TNXYZFileImport::GetExtent(TImportExtent& extent) const {
    extent = m_extent;
    return m_delivered > 0;
}

void TNXYZImportToStrings::AddPoint(const AnsiString& number, double x, double y, double z) {
    m_lines.Add(PointPreviewLine(number, {x, y, z}));
}

} // namespace SDRImporter
