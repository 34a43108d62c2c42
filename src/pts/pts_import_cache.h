// The PTS writer: every point becomes a one-point object with its number and comment.
#pragma once

#include "import/host_writer.h"
#include "import/nxyz_file_import.h"
#include "platform/codepage.h"

namespace PtsImportForms {

// What the writer writes with, as the wizard holds it at the start of a run.
struct TPtsWriterSettings {
    TComPtr<IKavroDb> database;
    AnsiString layerId;
    AnsiString styleId;
    AnsiString tableId;
    AnsiString numberField;
    AnsiString commentField;
};

class TPtsImportCache final : public IPointSink {
public:
    static constexpr std::int32_t kCommitEvery = 100;

    // Obtains the attribute table from the host (host errors propagate).
    explicit TPtsImportCache(const TPtsWriterSettings& settings);

    // Creates one object at `at` (database coordinates) and writes the number and the comment as
    // text, also with an empty field name, in one new record per point when the table keeps
    // several; commits after every 100 objects. A value the host refuses is counted.
    void Write(const TNXYZPoint& point, TPlanePoint at, TImportReport& report) override;
    // Commits the map-object changes: at the end of the file also with nothing pending, after an
    // error what is pending.
    void EndFile(bool completed) override {
        if (completed)
            m_writer.Commit();
        else
            m_writer.CommitPending();
    }

    THostWriter& Writer() { return m_writer; }
    std::int32_t Pending() const { return m_writer.Pending(); }

private:
    THostWriter m_writer;
    TBstr m_layerId;
    TBstr m_styleId;
    THostTable m_table;
    TBstr m_numberField;
    TBstr m_commentField;
};

} // namespace PtsImportForms
