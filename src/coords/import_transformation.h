// The point conversion of an import run: prepared once from the transformation page's state
// (affine chain or source coordinate system), then applied to every point.
#pragma once

#include "coords/coordinate_system_catalog.h"
#include "coords/transform_data.h"

enum class TImportTransformationMethod : int {
    Affine = 0,           // "Аффинная"
    CoordinateSystem = 1, // "По параметрам СК"
};

class TImportTransformation {
public:
    TImportTransformation() = default;
    TImportTransformation(const TImportTransformation&) = delete;
    TImportTransformation& operator=(const TImportTransformation&) = delete;

    TImportTransformationMethod Method() const { return m_method; }
    void SetMethod(TImportTransformationMethod method) { m_method = method; }
    // The item index of the page's method list (0 or 1).
    void SetMethodIndex(int index) {
        m_method = index == 1 ? TImportTransformationMethod::CoordinateSystem
                              : TImportTransformationMethod::Affine;
    }

    TTransformData& Chain() { return m_chain; }
    const TTransformData& Chain() const { return m_chain; }

    const TCoordinateReferenceDef& DatabaseReference() const { return m_databaseReference; }
    void SetDatabaseReference(const TCoordinateReferenceDef& def) { m_databaseReference = def; }
    const TCoordinateReferenceDef& SourceReference() const { return m_sourceReference; }
    void SetSourceReference(const TCoordinateReferenceDef& def) { m_sourceReference = def; }

    // Not owned; the wizard owns its catalog. Method 1 needs one unless no conversion is needed.
    TCoordinateSystemCatalog* Catalog() const { return m_catalog; }
    void SetCatalog(TCoordinateSystemCatalog* catalog) { m_catalog = catalog; }

    // Once at the start of every run. Method 0 composes the chain into the matrix; method 1
    // prepares the contour transformer from the source into the database reference and raises
    // ECoordinateSystemTransformerError (or an outside library's error) when it cannot.
    void PrepareImportTransformation();

    // Never raises: a point that cannot be converted keeps its coordinates and the result
    // carries the failure's message.
    TFunctionResult ConvertPoint(double& x, double& y) const noexcept;

private:
    TImportTransformationMethod m_method = TImportTransformationMethod::Affine;
    TTransformData m_chain;
    TCoordinateReferenceDef m_databaseReference;
    TCoordinateReferenceDef m_sourceReference;
    TCoordinateSystemCatalog* m_catalog = nullptr;
    TTransformMatrix m_matrix;
    TContourTransformer m_contourTransformer;
};
