// The SDR writer: every point becomes a one-point object with its number, rounded height and
// import date.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "sdr/sdr_import_params.h"

namespace SDRImporter {

class TSdrImportCache {
public:
    static constexpr std::int32_t kCommitEvery = 500;

    TSdrImportCache(TComPtr<IKavroDb> database, const TSdrImportParams& params);
    // Commits what is still pending; a failure here cannot be reported.
    ~TSdrImportCache();
    TSdrImportCache(const TSdrImportCache&) = delete;
    TSdrImportCache& operator=(const TSdrImportCache&) = delete;

    // Once per file: fresh map objects, and the table and field names when a table is chosen.
    void Begin();
    void AddPoint(const AnsiString& number, double x, double y, double z);
    // Commits when objects are pending, then takes a fresh map-objects interface.
    void Flush();

    std::int32_t Pending() const { return m_pending; }

private:
    void WriteValue(IKavroSemData* data, const TBstr& field, const TVariant& value);

    TComPtr<IKavroDb> m_database;
    TSdrImportParams m_params;
    TComPtr<IKavroMapObjects> m_mapObjects;
    TComPtr<IKavroSemTable> m_table;
    TBstr m_tableName;
    TBstr m_numberField;
    TBstr m_heightField;
    TBstr m_dateField;
    TBstr m_layerId;
    TBstr m_styleId;
    bool m_recordPerValue = false; // table mode 1
    std::int32_t m_pending = 0;
};

// Z rounded to `precision` decimals, halves to the even neighbour.
[[nodiscard]] double RoundHeight(double z, std::int32_t precision);

} // namespace SDRImporter
