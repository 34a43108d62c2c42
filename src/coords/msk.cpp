#include "coords/msk.h"

#include "text/text_rules.h"

#include <cmath>

// --- references ------------------------------------------------------------------------------

void TKavroCoordinateReference::LoadFromJSON(const TJson& object) {
    TCoordinateReference::LoadFromJSON(object);
    ReadParameters();
}

void TKavroCoordinateReference::SaveToJSON(TJson& object) const {
    TCoordinateReferenceDef def = m_def;
    def.Parameters = ComposeParameters();
    def.SaveToJSON(object);
}

std::shared_ptr<TCoordinateReference> TMSKCoordinateReference::Clone() const {
    auto copy = std::make_shared<TMSKCoordinateReference>(m_def);
    for (const auto& zone : m_zones)
        copy->m_zones.push_back(zone->Clone());
    return copy;
}

void TMSKCoordinateReference::ReadParameters() {
    m_zones.clear();
    if (TrimControls(m_def.Parameters).empty())
        return;
    TJson object;
    try {
        object = ParseAnsiJson(m_def.Parameters);
    } catch (const EJsonError&) {
        object = nullptr;
    }
    if (!object.is_object() || !object.contains("Zones") || !object["Zones"].is_array())
        throw ECoordinateSystemError(Ansi("Ошибка считывания параметров МСК"));
    // A zone that is not a reference object fails with the JSON model's own message.
    LoadReferenceListFromJSON(m_zones, object["Zones"]);
}

AnsiString TMSKCoordinateReference::ComposeParameters() const {
    TJson zones;
    SaveReferenceListToJSON(m_zones, zones);
    TJson object = TJson::object();
    object["Zones"] = std::move(zones);
    return DumpAnsiJson(object, 2);
}

void TMSKCoordinateReference::Validate(ICoordinateSystemCatalog& catalog) {
    for (const auto& zone : m_zones)
        catalog.ValidateReference(zone->Def());
}

TCoordinateTransformationPtr
TMSKCoordinateReference::CreateTransformationTo(ICoordinateSystemCatalog& catalog,
                                                const TCoordinateReferenceDef& target) {
    auto transformation = std::make_shared<TMSKCoordinateTransformation>(
        Clone(), std::make_shared<TCoordinateReference>(target));
    transformation->Prepare(catalog, *this);
    return transformation;
}

TCoordinateTransformationPtr
TMSKCoordinateReference::CreateTransformationFrom(ICoordinateSystemCatalog&,
                                                  const TCoordinateReferenceDef& source) {
    throw ECoordinateSystemTransformerError(Ansi("Не возможно построить преобразования из \"") +
                                            source.Caption + Ansi("\" в \"") + m_def.Caption +
                                            "\"");
}

// --- zone bounds -----------------------------------------------------------------------------

TZoneBounds TZoneBounds::FromCorners(const TCSPoint& a, const TCSPoint& b) {
    TZoneBounds z;
    z.minX = std::min(a.x, b.x);
    z.maxX = std::max(a.x, b.x);
    z.minY = std::min(a.y, b.y);
    z.maxY = std::max(a.y, b.y);
    z.hasX = std::fabs(z.maxX - z.minX) > 1e-16;
    z.hasY = std::fabs(z.maxY - z.minY) > 1e-16;
    z.hasBoth = z.hasX && z.hasY;
    return z;
}

bool TZoneBounds::Contains(double x, double y) const {
    if (hasBoth)
        return minX <= x && x <= maxX && minY <= y && y <= maxY;
    if (hasX)
        return minX <= x && x <= maxX;
    if (hasY)
        return minY <= y && y <= maxY;
    return false;
}

// --- transformation --------------------------------------------------------------------------

void TMSKCoordinateTransformation::Prepare(ICoordinateSystemCatalog& catalog,
                                           const TMSKCoordinateReference& reference) {
    if (reference.Zones().empty())
        throw ECriticalCoordinateSystemError(Ansi("Внутренняя ошибка: система координат \"") +
                                             reference.GetCaption() + Ansi("\" не содержит зон"));
    m_lastZone = -1;
    m_zones.clear();
    for (const auto& zoneReference : reference.Zones()) {
        const TCoordinateReferenceDef& zone = zoneReference->Def();
        if (!zone.HasBoundingBox)
            throw ECoordinateSystemTransformerError(
                Ansi("Не заданы границы зоны \"") + zone.Caption +
                Ansi("\" для координатной системы \"") + reference.GetCaption() + "\"");
        TFunctionResult result;
        TZone entry;
        catalog.BuildTransformationBetween(*zoneReference, *m_target, result, entry.transformation);
        if (!result.Succeeded() || !entry.transformation)
            throw ECoordinateSystemTransformerError(result.Message);
        entry.bounds = TZoneBounds::FromCorners(zone.BoundingBox.min, zone.BoundingBox.max);

        TCSPoint low{entry.bounds.minX, entry.bounds.minY, 0};
        TCSPoint high{entry.bounds.maxX, entry.bounds.maxY, 0};
        AnsiString ignored;
        const bool lowOk = entry.transformation->TransformPoint(low, ignored);
        const bool highOk = entry.transformation->TransformPoint(high, ignored);
        entry.targetBoundsValid = lowOk && highOk;
        if (entry.bounds.hasBoth) {
            entry.targetBounds = TZoneBounds::FromCorners(low, high);
        } else if (entry.bounds.hasX) {
            low.y = high.y = 0;
            entry.targetBounds = TZoneBounds::FromCorners(low, high);
        } else if (entry.bounds.hasY) {
            low.x = high.x = 0;
            entry.targetBounds = TZoneBounds::FromCorners(low, high);
        } else {
            entry.targetBounds = entry.bounds;
        }
        m_zones.push_back(std::move(entry));
    }
}

TMSKCoordinateTransformation::TZone* TMSKCoordinateTransformation::FindZone(double x, double y) {
    if (m_lastZone >= 0 && m_zones[m_lastZone].bounds.Contains(x, y))
        return &m_zones[m_lastZone];
    for (size_t i = 0; i < m_zones.size(); ++i)
        if (m_zones[i].bounds.Contains(x, y)) {
            m_lastZone = static_cast<int>(i);
            return &m_zones[i];
        }
    return nullptr;
}

AnsiString TMSKCoordinateTransformation::NoZoneMessage() const {
    return Ansi("Для точки координатной системы \"") + m_source->GetCaption() +
           Ansi("\" не найдено соответствующее преобразование");
}

bool TMSKCoordinateTransformation::TransformPoint(TCSPoint& point, AnsiString& error) {
    TZone* zone = FindZone(point.x, point.y);
    if (!zone) {
        error = NoZoneMessage();
        return false;
    }
    return zone->transformation->TransformPoint(point, error);
}

bool TMSKCoordinateTransformation::TransformPoints(TCSPointArray& points, TCSBooleanArray& flags,
                                                   AnsiString& error) {
    if (points.empty())
        return true;
    flags.assign(points.size(), 0);
    for (size_t i = 0; i < points.size(); ++i) {
        TZone* zone = FindZone(points[i].x, points[i].y);
        if (!zone) {
            error = NoZoneMessage();
            return false;
        }
        TCSPoint copy = points[i];
        AnsiString ignored;
        if (zone->transformation->TransformPoint(copy, ignored)) {
            points[i] = copy;
            flags[i] = 1;
        }
    }
    return true;
}

bool TMSKCoordinateTransformation::TransformBounds(TCSBoundingBox& box, AnsiString& error) {
    return TransformPoint(box.min, error) && TransformPoint(box.max, error);
}

bool TMSKCoordinateTransformation::InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) {
    TCSPoint corners[2] = {box.min, box.max};
    for (TCSPoint& corner : corners) {
        TZone* found = nullptr;
        for (auto& zone : m_zones)
            if (zone.targetBoundsValid && zone.targetBounds.Contains(corner.x, corner.y)) {
                found = &zone;
                break;
            }
        TCSBoundingBox one{corner, corner};
        AnsiString ignored;
        if (!found || !found->transformation->InverseTransformBounds(one, ignored)) {
            error.clear();
            return false;
        }
        corner = one.min;
    }
    box.min = corners[0];
    box.max = corners[1];
    box.Normalize();
    return true;
}

// --- provider --------------------------------------------------------------------------------

TKavroCoordinateSystemProvider::TKavroCoordinateSystemProvider(ICoordinateSystemCatalog& catalog)
    : TCoordinateSystemProvider("Kavro.Kavro"), m_catalog(catalog) {
    m_formats.push_back(MSKFormat());
}

TCoordinateReferenceFormatPtr TKavroCoordinateSystemProvider::MSKFormat() {
    return std::make_shared<TCoordinateReferenceFormat>(
        "MSK", Ansi("Формат МСК"),
        Ansi("Формат описывающий параметры систем координат МСК, в котором можно задать "
             "параметры проекций для каждой из зон МСК"));
}

void TKavroCoordinateSystemProvider::GetFormats(TCoordinateReferenceFormatList& list) {
    list.insert(list.end(), m_formats.begin(), m_formats.end());
}

bool TKavroCoordinateSystemProvider::CreateReference(const TCoordinateReferenceDef& def,
                                                     TCoordinateReferencePtr& reference) {
    m_lastError.clear();
    reference.reset();
    if (!AnsiSameText(def.Format, "MSK")) {
        m_lastError = Ansi("Не поддерживаемый формат \"") + def.Format +
                      Ansi("\" описания координатной системы");
        return false;
    }
    try {
        auto msk = std::make_shared<TMSKCoordinateReference>(def);
        msk->ReadParameters();
        msk->Validate(m_catalog);
        reference = std::move(msk);
        return true;
    } catch (const std::exception& e) {
        m_lastError = ExceptionMessage(e);
        return false;
    }
}

bool TKavroCoordinateSystemProvider::CreateTransformation(const TCoordinateReferenceDef& source,
                                                          const TCoordinateReferenceDef& target,
                                                          TCoordinateTransformationPtr& result) {
    m_lastError.clear();
    result.reset();
    try {
        if (AnsiSameText(source.Format, "MSK")) {
            TMSKCoordinateReference msk(source);
            msk.ReadParameters();
            result = msk.CreateTransformationTo(m_catalog, target);
            return true;
        }
        if (AnsiSameText(target.Format, "MSK")) {
            TMSKCoordinateReference msk(target);
            msk.ReadParameters();
            result = msk.CreateTransformationFrom(m_catalog, source);
            return true;
        }
        m_lastError = Ansi("Не поддерживаемое преобразования СК");
        return false;
    } catch (const std::exception& e) {
        m_lastError = ExceptionMessage(e);
        return false;
    }
}
