// The point sinks of the SDR import.
#include "sdr/sdr_file_import.h"

#include "coords/number_text.h"
#include "platform/locale.h"

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
        try {
            EndImport();
        } catch (...) {
            // The error that stopped the reading is the one reported.
        }
        throw;
    }
    EndImport();
}

bool TNXYZFileImport::GetExtent(TImportExtent& extent) const {
    extent = m_extent;
    return m_delivered > 0;
}

TNXYZImportToKavro::TNXYZImportToKavro(TComPtr<IKavroDb> database, const TTransformMatrix& matrix,
                                       const TContourTransformer* transformer,
                                       const TSdrImportParams& params)
    : TNXYZFileImport(transformer, matrix), m_database(database),
      m_writer(std::make_unique<TSdrImportCache>(std::move(database), params)) {}

void TNXYZImportToStrings::AddPoint(const AnsiString& number, double x, double y, double z) {
    const char sep = DecimalSeparator();
    AnsiString line = number;
    line += ' ';
    line += FormatFixed(x, 2, sep);
    line += ' ';
    line += FormatFixed(y, 2, sep);
    line += ' ';
    line += FormatFixed(z, 2, sep);
    m_lines.Add(line);
}

} // namespace SDRImporter
