// The PTS writer.
#include "pts/pts_import_cache.h"

namespace PtsImportForms {

TPtsImportCache::TPtsImportCache(const TPtsWriterSettings& settings)
    : m_writer(settings.database, kCommitEvery), m_layerId(HostIdBstr(settings.layerId)),
      m_styleId(HostIdBstr(settings.styleId)),
      m_table(settings.database.Get(), HostIdBstr(settings.tableId),
              TRecordRule::NewRecordPerObject),
      m_numberField(AnsiBstr(settings.numberField)),
      m_commentField(AnsiBstr(settings.commentField)) {}

void TPtsImportCache::AddPoint(const AnsiString& number, const AnsiString& comment, double x,
                               double y) {
    const TComPtr<IKavroMapObject> object = m_writer.AddPointObject(m_layerId, m_styleId, {x, y});
    TObjectValues values(object.Get(), m_table);
    values.Set(m_numberField, TVariant::Text(AnsiToWide(number)));
    values.Set(m_commentField, TVariant::Text(AnsiToWide(comment)));
    m_writer.ObjectDone();
}

} // namespace PtsImportForms
