// The catalog that gathers the providers of coordinate-system formats and builds
// transformations, its cache, and the contour transformer the import runs apply per point.
#pragma once

#include "coords/coordinate_system_provider.h"

#include <map>
#include <unordered_map>

// Keeps built transformations keyed by the two records (caption, format, parameters, X/Y
// exchange of each), so a repeated build returns the same object with the same behaviour.
// Transformations that are not Cacheable() are never kept.
class TCoordinateSystemTransformationCache {
public:
    bool Find(const TCoordinateReferenceDef& source, const TCoordinateReferenceDef& target,
              TCoordinateTransformationPtr& transformation) const;
    void Add(const TCoordinateReferenceDef& source, const TCoordinateReferenceDef& target,
             const TCoordinateTransformationPtr& transformation);
    void Clear() { m_entries.clear(); }
    size_t Size() const { return m_entries.size(); }

private:
    static constexpr size_t kCapacity = 64;
    std::map<std::string, TCoordinateTransformationPtr> m_entries;
};

class TCoordinateSystemCatalog final : public ICoordinateSystemCatalog {
public:
    // The given providers (null ones skipped) in order, then the catalog's own provider of local
    // zone systems, which is also the default provider.
    explicit TCoordinateSystemCatalog(const TCoordinateSystemProviderList& providers = {});
    ~TCoordinateSystemCatalog();
    TCoordinateSystemCatalog(const TCoordinateSystemCatalog&) = delete;
    TCoordinateSystemCatalog& operator=(const TCoordinateSystemCatalog&) = delete;

    // Initialises every provider and gathers its formats and predefined references; failures
    // of a provider propagate.
    void Reload();

    const TCoordinateSystemProviderList& Providers() const { return m_providers; }
    const TCoordinateReferenceFormatList& Formats() const { return m_formats; }
    const TCoordinateReferenceList& References() const { return m_references; }
    TCoordinateSystemProvider& DefaultProvider() const;

    // The first format whose name matches ignoring letter case, or null.
    TCoordinateReferenceFormatPtr FindFormat(std::string_view name) const;
    // The provider that supplied a format or predefined reference, or null.
    TCoordinateSystemProvider* ProviderOf(const TCSObject* object) const;

    void BuildTransformation(const TCoordinateReferenceDef& source,
                             const TCoordinateReferenceDef& target, TFunctionResult& result,
                             TCoordinateTransformationPtr& transformation) override;
    void ValidateReference(const TCoordinateReferenceDef& def) override;

    TCoordinateSystemTransformationCache& Cache() { return m_cache; }

private:
    TCoordinateSystemProviderList m_providers;
    TCoordinateSystemProvider* m_defaultProvider = nullptr;
    TCoordinateReferenceFormatList m_formats;
    TCoordinateReferenceList m_references;
    std::unordered_map<const TCSObject*, TCoordinateSystemProvider*> m_origin;
    TCoordinateSystemTransformationCache m_cache;
};

// The prepared conversion for one pair of references that the import runs apply per point.
class TContourTransformer {
public:
    // Builds the transformation when one is needed (a defined source different from the
    // target); raises ECoordinateSystemTransformerError with the catalog's message when it
    // cannot be built.
    void Prepare(TCoordinateSystemCatalog& catalog, const TCoordinateReferenceDef& source,
                 const TCoordinateReferenceDef& target);
    // Never raises: on failure the point is unchanged and the result carries the message.
    TFunctionResult TransformPoint(double& x, double& y) const noexcept;

    bool Needed() const { return m_needed; }
    const TCoordinateReferenceDef& Source() const { return m_source; }
    const TCoordinateReferenceDef& Target() const { return m_target; }
    const TCoordinateTransformationPtr& Transformation() const { return m_transformation; }

private:
    TCoordinateReferenceDef m_source, m_target;
    bool m_needed = false;
    TCoordinateTransformationPtr m_transformation;
};
