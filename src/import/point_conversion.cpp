// The conversion of every imported point into database coordinates.
#include "import/point_conversion.h"

#include "coords/import_transformation.h"

TPlanePoint TPointConversion::Convert(TPlanePoint p) const noexcept {
    // The outcome is not examined: the point keeps its source coordinates when it fails.
    if (m_transformation)
        (void)m_transformation->ConvertPoint(p.X, p.Y);
    return p;
}

TPointConversion PrepareRunConversion(TImportTransformation* transformation) {
    if (transformation)
        transformation->PrepareImportTransformation();
    return TPointConversion(transformation);
}
