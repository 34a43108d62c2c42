// Providers of coordinate-system formats, and the catalog as a provider sees it: what a
// provider of composite systems (local zones) asks of the catalog it belongs to.
#pragma once

#include "coords/coordinate_transformation.h"
#include "coords/transform_matrix.h"

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

// The catalog's services for its providers: building a transformation between any two
// references through whichever provider knows them, and validating a reference.
class ICoordinateSystemCatalog {
public:
    // Reports failures through `result`; errors raised while reading an outside library's answers
    // propagate.
    virtual void BuildTransformation(const TCoordinateReferenceDef& source,
                                     const TCoordinateReferenceDef& target, TFunctionResult& result,
                                     TCoordinateTransformationPtr& transformation) = 0;
    void BuildTransformationBetween(const TCoordinateReference& source,
                                    const TCoordinateReference& target, TFunctionResult& result,
                                    TCoordinateTransformationPtr& transformation) {
        BuildTransformation(source.Def(), target.Def(), result, transformation);
    }
    // Raises ECoordinateSystemError when the record cannot be used.
    virtual void ValidateReference(const TCoordinateReferenceDef& def) = 0;

protected:
    ~ICoordinateSystemCatalog() = default;
};
