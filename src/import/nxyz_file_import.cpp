// The run of every point format.
#include "import/nxyz_file_import.h"

#include "import/host_writer.h"
#include "import/xyz_number_reader.h"
#include "ui/long_operation.h"

TFileImportEnd TNXYZFileImport::Run(TXYZNumberReader& reader) {
    m_lastFile = 0;
    bool completed = false;
    m_sink.BeginFile();
    try {
        completed = ReadAll(reader);
    } catch (...) {
        m_report.Merge(reader.Skipped());
        CommitAfterError(std::current_exception(), [this] { m_sink.EndFile(false); });
    }
    m_report.Merge(reader.Skipped());
    m_sink.EndFile(true);
    return completed ? TFileImportEnd::Completed : TFileImportEnd::Cancelled;
}

bool TNXYZFileImport::ReadAll(TXYZNumberReader& reader) {
    const bool needsHeight = !m_sink.TakesPointsWithoutHeight();
    std::int64_t nextLook = kPumpEvery;
    TNXYZPoint point;
    while (reader.ReadPoint(point)) {
        if (needsHeight && !point.Z) {
            m_report.Add(TSkipReason::NoHeight, point.Line);
        } else if (const std::optional<TPlanePoint> at = m_conversion.Convert({point.X, point.Y})) {
            m_sink.Write(point, *at, m_report);
            m_extent.Extend(*at);
            ++m_lastFile;
            ++m_points;
        } else {
            m_report.Add(TSkipReason::ConversionFailed, point.Line);
        }
        if (m_progress && reader.LineNumber() >= nextLook) {
            nextLook = reader.LineNumber() + kPumpEvery;
            m_progress->SetFraction(reader.Fraction());
            m_progress->Pump();
            if (m_progress->Cancelled())
                return false;
        }
    }
    return true;
}
