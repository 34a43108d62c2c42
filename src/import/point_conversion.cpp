// The conversion of one imported point into database coordinates.
#include "pts/point_conversion.h"

#include "coords/coordinate_system_catalog.h"
#include "coords/import_transformation.h"

TPlanePoint TPointConversion::Convert(TPlanePoint p) const {
    if (m_transformer) {
        // The outcome is not examined: a point that cannot be converted goes on unchanged.
        (void)m_transformer->TransformPoint(p.X, p.Y);
        return p;
    }
    const auto [x, y] = m_matrix.Transform(p.X, p.Y);
    return {x, y};
}

TPointConversion PrepareRunConversion(TImportTransformation* transformation) {
    if (!transformation)
        return TPointConversion(nullptr, TTransformMatrix::Identity());
    transformation->PrepareImportTransformation();
    return TPointConversion(transformation->ContourTransformer(), transformation->Matrix());
}
