// The PTS writer.
#include "pts/pts_import_cache.h"

#include "platform/com/variant.h"
#include "pts/host_points.h"

namespace PtsImportForms {

TPtsImportCache::TPtsImportCache(const TPtsWriterSettings& settings)
    : m_database(settings.database), m_layerId(AnsiBstr(CutHostId(settings.layerId))),
      m_styleId(AnsiBstr(CutHostId(settings.styleId))),
      m_numberField(AnsiBstr(settings.numberField)),
      m_commentField(AnsiBstr(settings.commentField)) {
    m_mapObjects = HostMapObjects(m_database.Get());
    TBstr tableId = AnsiBstr(CutHostId(settings.tableId));
    m_table = HostSemTable(m_database.Get(), tableId.Get());
    std::u16string name;
    (void)HostTableName(m_table.Get(), name);
    m_tableName = TBstr(name);
    m_tableHasRecords = HostTableMode(m_table.Get()) != 0;
}

TPtsImportCache::~TPtsImportCache() {
    // Objects created before an error are kept: commit them. An empty commit is skipped, so a
    // run that flushed before its closing message does not commit twice.
    if (!m_dirty)
        return;
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; the error that ended the run is the one shown.
    }
}

void TPtsImportCache::AddPoint(const AnsiString& number, const AnsiString& comment, double x,
                               double y) {
    TComPtr<IKavroMapObject> object =
        AddPointObject(m_mapObjects.Get(), m_layerId.Get(), m_styleId.Get(), x, y);
    m_dirty = true;
    TComPtr<IKavroSemData> data = ObjectSemData(object.Get());
    const std::int32_t record =
        m_tableHasRecords ? NewRecordIndex(data.Get(), m_tableName.Get()) : 0;
    SetSemValue(data.Get(), m_tableName.Get(), m_numberField.Get(),
                TVariant::Text(AnsiToWide(number)), record);
    SetSemValue(data.Get(), m_tableName.Get(), m_commentField.Get(),
                TVariant::Text(AnsiToWide(comment)), record);
    if (++m_pending == kCommitEvery)
        Flush();
}

void TPtsImportCache::Flush() {
    CommitMapObjects(m_mapObjects.Get());
    m_pending = 0;
    m_dirty = false;
}

} // namespace PtsImportForms
