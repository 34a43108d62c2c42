// Local zone coordinate systems ("MSK"): the system's own provider, the zone-list reference and
// the transformation that converts each point with the zone containing it.
#pragma once

#include "coords/coordinate_system_provider.h"

// A reference whose parameters the system itself interprets.
class TKavroCoordinateReference : public TCoordinateReference {
public:
    using TCoordinateReference::TCoordinateReference;
    void LoadFromJSON(const TJson& object) override;
    void SaveToJSON(TJson& object) const override;

    // Raises the first problem found.
    virtual void Validate(ICoordinateSystemCatalog& catalog) = 0;
    virtual void ReadParameters() = 0;
    // Parameters := ComposeParameters().
    virtual void WriteParameters() { m_def.Parameters = ComposeParameters(); }
    // The parameter text for the reference's current content.
    [[nodiscard]] virtual AnsiString ComposeParameters() const = 0;
    virtual TCoordinateTransformationPtr
    CreateTransformationTo(ICoordinateSystemCatalog& catalog,
                           const TCoordinateReferenceDef& target) = 0;
    virtual TCoordinateTransformationPtr
    CreateTransformationFrom(ICoordinateSystemCatalog& catalog,
                             const TCoordinateReferenceDef& source) = 0;
};

class TMSKCoordinateReference final : public TKavroCoordinateReference {
public:
    using TKavroCoordinateReference::TKavroCoordinateReference;
    std::shared_ptr<TCoordinateReference> Clone() const override;

    void Validate(ICoordinateSystemCatalog& catalog) override;
    // ECoordinateSystemError "Ошибка считывания параметров МСК" for parameters that are not an
    // object with a "Zones" array; blank parameters give no zones.
    void ReadParameters() override;
    AnsiString ComposeParameters() const override;
    TCoordinateTransformationPtr
    CreateTransformationTo(ICoordinateSystemCatalog& catalog,
                           const TCoordinateReferenceDef& target) override;
    TCoordinateTransformationPtr
    CreateTransformationFrom(ICoordinateSystemCatalog& catalog,
                             const TCoordinateReferenceDef& source) override;

    TCoordinateReferenceList& Zones() { return m_zones; }
    const TCoordinateReferenceList& Zones() const { return m_zones; }

private:
    TCoordinateReferenceList m_zones;
};

// A rectangle with flags for degenerate extents: a zone of zero height covers its X range.
struct TZoneBounds {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool hasX = false, hasY = false, hasBoth = false;

    static TZoneBounds FromCorners(const TCSPoint& a, const TCSPoint& b);
    bool Contains(double x, double y) const;
};

class TMSKCoordinateTransformation final : public TCoordinateTransformation {
public:
    using TCoordinateTransformation::TCoordinateTransformation;

    // Builds the zone transformations into the target; raises on the first zone that has no box
    // or cannot be converted.
    void Prepare(ICoordinateSystemCatalog& catalog, const TMSKCoordinateReference& reference);

    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString& error) override;
    bool TransformPoint(TCSPoint& point, AnsiString& error) override;
    bool TransformBounds(TCSBoundingBox& box, AnsiString& error) override;
    bool InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) override;
    bool Cacheable() const override { return false; }

    struct TZone {
        TCoordinateTransformationPtr transformation;
        TZoneBounds bounds;
        TZoneBounds targetBounds;
        bool targetBoundsValid = false;
    };
    const std::vector<TZone>& ZoneList() const { return m_zones; }

private:
    // The zone containing the point: the last one used if it still contains it, else the first
    // in order; null when none does.
    TZone* FindZone(double x, double y);
    AnsiString NoZoneMessage() const;

    std::vector<TZone> m_zones;
    int m_lastZone = -1;
};

class TKavroCoordinateSystemProvider final : public TCoordinateSystemProvider {
public:
    explicit TKavroCoordinateSystemProvider(ICoordinateSystemCatalog& catalog);

    void Initialize() override { m_lastError.clear(); }
    void GetFormats(TCoordinateReferenceFormatList& list) override;
    void GetPredefinedReferences(TCoordinateReferenceList&) override {}
    bool CreateReference(const TCoordinateReferenceDef& def,
                         TCoordinateReferencePtr& reference) override;
    bool CreateTransformation(const TCoordinateReferenceDef& source,
                              const TCoordinateReferenceDef& target,
                              TCoordinateTransformationPtr& transformation) override;
    AnsiString GetLastError() override { return m_lastError; }

    static TCoordinateReferenceFormatPtr MSKFormat();

private:
    ICoordinateSystemCatalog& m_catalog;
    TCoordinateReferenceFormatList m_formats;
    AnsiString m_lastError;
};
