// Providers of coordinate-system formats, the catalog that gathers them and builds
// transformations, its cache, and the contour transformer the import runs apply per point.
#pragma once

#include "coords/coordinate_transformation.h"
#include "coords/transform_matrix.h"

#include <map>
#include <unordered_map>

// What a provider knows about a georeferenced file.
struct TGeoFileInfo {
    AnsiString Message;
    AnsiString DriverName;
    long long Width = 0, Height = 0;
    AnsiString WKT, PROJ4, AxisMapping;
    TTransformMatrix GeoTransform;
    void Clear() { *this = TGeoFileInfo(); }
};

class TCoordinateSystemProvider : public TCSObject {
public:
    explicit TCoordinateSystemProvider(AnsiString name) : m_name(std::move(name)) {}
    const AnsiString& Name() const { return m_name; }

    // Makes the provider ready; may raise.
    virtual void Initialize() = 0;
    virtual void GetFormats(TCoordinateReferenceFormatList& list) = 0;
    virtual void GetPredefinedReferences(TCoordinateReferenceList& list) = 0;
    // The provider's own reference object for a record; false (see GetLastError) when the
    // record cannot be used.
    virtual bool CreateReference(const TCoordinateReferenceDef& def,
                                 TCoordinateReferencePtr& reference) = 0;
    virtual bool CreateTransformation(const TCoordinateReferenceDef& source,
                                      const TCoordinateReferenceDef& target,
                                      TCoordinateTransformationPtr& transformation) = 0;
    virtual AnsiString GetLastError() = 0;
    virtual bool GetGeoFileInfo(const AnsiString& fileName, TGeoFileInfo& info);
    virtual bool ExportReference(const TCoordinateReference& reference, const AnsiString& format,
                                 TCoordinateReferenceDef& result);

private:
    AnsiString m_name;
};

using TCoordinateSystemProviderPtr = std::shared_ptr<TCoordinateSystemProvider>;
using TCoordinateSystemProviderList = std::vector<TCoordinateSystemProviderPtr>;

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

class TKavroCoordinateSystemProvider;

class TCoordinateSystemCatalog {
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

    // Reports failures through `result`; errors raised while reading an outside library's answers
    // propagate.
    void BuildTransformation(const TCoordinateReferenceDef& source,
                             const TCoordinateReferenceDef& target, TFunctionResult& result,
                             TCoordinateTransformationPtr& transformation);
    void BuildTransformationBetween(const TCoordinateReference& source,
                                    const TCoordinateReference& target, TFunctionResult& result,
                                    TCoordinateTransformationPtr& transformation) {
        BuildTransformation(source.Def(), target.Def(), result, transformation);
    }
    // Raises ECoordinateSystemError when the record cannot be used.
    void ValidateReference(const TCoordinateReferenceDef& def);

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
