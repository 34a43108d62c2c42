// The SDR writer.
#include "sdr/sdr_import_cache.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace SDRImporter {

double RoundHeight(double z, std::int32_t precision) {
    // Powers of ten up to 10^22 are exact doubles; the rounded count of units is an exact
    // integer, and one division by the power gives the double nearest to the decimal. Scaling by
    // 10^-precision instead would leave its representation error in the result.
    const double scale = std::pow(10.0, static_cast<double>(precision));
    const double scaled = z * scale;
    // A value beyond 2^53 units has no fraction left to round (and NaN or infinity stays).
    if (!(std::fabs(scaled) < 9007199254740992.0))
        return z;
    // nearbyint rounds in the current mode, which is to nearest with ties to even unless someone
    // changed it; make sure.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double units = std::nearbyint(scaled);
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    const double rounded = units / scale;
    return rounded == 0 ? 0.0 : rounded; // a height that rounds to zero is stored as +0
}

TSdrImportCache::TSdrImportCache(TComPtr<IKavroDb> database, const TSdrImportParams& params)
    : m_writer(std::move(database), kCommitEvery), m_params(params),
      m_layerId(HostIdBstr(params.LayerId)), m_styleId(HostIdBstr(params.StyleId)) {
    // The wizard keeps the precision in range; a value outside it would lose the height.
    m_params.Precision = std::clamp(m_params.Precision, 1, 15);
}

bool TSdrImportCache::TakesPointsWithoutHeight() const {
    return m_params.TableId.empty() || m_params.HeightField.empty();
}

void TSdrImportCache::BeginFile() {
    m_table.reset();
    if (m_params.TableId.empty())
        return; // no value is written during this file
    m_table.emplace(m_writer.Database(), HostIdBstr(m_params.TableId),
                    TRecordRule::NewRecordPerValue);
    m_numberField = TBstr(m_params.NumberField);
    m_heightField = TBstr(m_params.HeightField);
    m_dateField = TBstr(m_params.DateField);
}

void TSdrImportCache::Write(const TNXYZPoint& point, TPlanePoint at, TImportReport& report) {
    const TComPtr<IKavroMapObject> object = m_writer.AddPointObject(m_layerId, m_styleId, at);
    if (m_table) {
        // A field without a name is not written.
        TObjectValues values(object.Get(), *m_table);
        if (!m_params.NumberField.empty())
            values.SetOrCount(m_numberField, TVariant::Text(AnsiToWide(point.Number)), report,
                              point.Line);
        if (!m_params.HeightField.empty() && point.Z)
            values.SetOrCount(m_heightField,
                              TVariant::Double(RoundHeight(*point.Z, m_params.Precision)), report,
                              point.Line);
        if (!m_params.DateField.empty())
            values.SetOrCount(m_dateField, TVariant::Date(m_params.ImportDate), report, point.Line);
    }
    m_writer.ObjectDone();
}

} // namespace SDRImporter
