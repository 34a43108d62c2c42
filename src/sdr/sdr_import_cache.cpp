// The SDR writer.
#include "sdr/sdr_import_cache.h"

#include "platform/com/variant.h"
#include "pts/host_points.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace SDRImporter {

namespace {
TBstr Wide(std::u16string_view text) {
    return TBstr(text);
}
std::u16string CutId(const std::u16string& id) {
    return id.substr(0, 15);
}
} // namespace

double RoundHeight(double z, std::int32_t precision) {
    const double f = std::pow(10.0, -static_cast<double>(precision));
    // nearbyint rounds in the current mode, which is to nearest with ties to even unless
    // someone changed it; make sure.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(z / f) * f;
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    return rounded;
}

TSdrImportCache::TSdrImportCache(TComPtr<IKavroDb> database, const TSdrImportParams& params)
    : m_database(std::move(database)), m_params(params), m_layerId(Wide(CutId(params.LayerId))),
      m_styleId(Wide(CutId(params.StyleId))) {
    // The wizard keeps the precision in range; a value outside it would lose the height.
    m_params.Precision = std::clamp(m_params.Precision, 1, 15);
}

TSdrImportCache::~TSdrImportCache() {
    try {
        Flush();
    } catch (...) {
    }
}

void TSdrImportCache::Begin() {
    m_mapObjects = HostMapObjects(m_database.Get());
    m_table.Reset();
    m_tableName = TBstr();
    m_numberField = TBstr();
    m_heightField = TBstr();
    m_dateField = TBstr();
    m_recordPerValue = false;
    if (!m_params.TableId.empty()) {
        TBstr id = Wide(CutId(m_params.TableId));
        m_table = HostSemTable(m_database.Get(), id.Get());
        std::u16string name;
        (void)HostTableName(m_table.Get(), name);
        m_tableName = TBstr(name);
        m_recordPerValue = HostTableMode(m_table.Get()) == 1;
        m_numberField = Wide(m_params.NumberField);
        m_heightField = Wide(m_params.HeightField);
        m_dateField = Wide(m_params.DateField);
    }
    m_pending = 0;
}

void TSdrImportCache::WriteValue(IKavroSemData* data, const TBstr& field, const TVariant& value) {
    if (field.View().empty())
        return;
    const std::int32_t record = m_recordPerValue ? NewRecordIndex(data, m_tableName.Get()) : 0;
    SetSemValue(data, m_tableName.Get(), field.Get(), value, record);
}

void TSdrImportCache::AddPoint(const AnsiString& number, double x, double y, double z) {
    ++m_pending;
    const double height = RoundHeight(z, m_params.Precision);
    TComPtr<IKavroMapObject> object =
        AddPointObject(m_mapObjects.Get(), m_layerId.Get(), m_styleId.Get(), x, y);
    if (m_table) {
        TComPtr<IKavroSemData> data = ObjectSemData(object.Get());
        WriteValue(data.Get(), m_numberField, TVariant::Text(AnsiToWide(number)));
        WriteValue(data.Get(), m_heightField, TVariant::Double(height));
        WriteValue(data.Get(), m_dateField, TVariant::Date(m_params.ImportDate));
    }
    if (m_pending == kCommitEvery)
        Flush();
}

void TSdrImportCache::Flush() {
    if (m_pending == 0 || !m_mapObjects)
        return;
    CommitMapObjects(m_mapObjects.Get());
    m_mapObjects = HostMapObjects(m_database.Get());
    m_pending = 0;
}

} // namespace SDRImporter
