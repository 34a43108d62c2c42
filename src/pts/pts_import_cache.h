// The PTS writer: every point becomes a one-point object with its number and comment.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

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

class TPtsImportCache {
public:
    static constexpr std::int32_t kCommitEvery = 100;

    // Obtains the map objects and the attribute table from the host (host errors propagate).
    explicit TPtsImportCache(const TPtsWriterSettings& settings);
    // Commits what is still pending; a failing commit here is not reported (call Flush first
    // to see it).
    ~TPtsImportCache();
    TPtsImportCache(const TPtsImportCache&) = delete;
    TPtsImportCache& operator=(const TPtsImportCache&) = delete;

    // Creates one object at (x, y) in database coordinates and writes both values as text;
    // commits after every 100 objects.
    void AddPoint(const AnsiString& number, const AnsiString& comment, double x, double y);
    // Commits the map-object changes.
    void Flush();

    std::int32_t Pending() const { return m_pending; }

private:
    TComPtr<IKavroDb> m_database;
    TComPtr<IKavroMapObjects> m_mapObjects;
    TComPtr<IKavroSemTable> m_table;
    TBstr m_layerId;
    TBstr m_styleId;
    TBstr m_tableName;
    TBstr m_numberField;
    TBstr m_commentField;
    bool m_tableHasRecords = false; // table mode other than 0: a new record per point
    std::int32_t m_pending = 0;
    bool m_dirty = false; // objects added since the last commit
};

} // namespace PtsImportForms
