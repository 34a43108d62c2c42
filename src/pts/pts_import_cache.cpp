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

void TPtsImportCache::Write(const TNXYZPoint& point, TPlanePoint at, TImportReport& report) {
    const TComPtr<IKavroMapObject> object = m_writer.AddPointObject(m_layerId, m_styleId, at);
    TObjectValues values(object.Get(), m_table);
    values.SetOrCount(m_numberField, TVariant::Text(AnsiToWide(point.Number)), report, point.Line);
    values.SetOrCount(m_commentField, TVariant::Text(AnsiToWide(point.Comment)), report,
                      point.Line);
    m_writer.ObjectDone();
}

} // namespace PtsImportForms
