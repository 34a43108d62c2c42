// The conversion of every imported point into database coordinates.
#include "import/point_conversion.h"

#include "coords/import_transformation.h"

#include <cmath>

std::optional<TPlanePoint> TPointConversion::Convert(TPlanePoint p) const noexcept {
    if (m_transformation && !m_transformation->ConvertPoint(p.X, p.Y).Succeeded())
        return std::nullopt;
    // A conversion that reports success with an infinite or undefined result has failed too.
    if (!std::isfinite(p.X) || !std::isfinite(p.Y))
        return std::nullopt;
    return p;
}

TPointConversion PrepareRunConversion(TImportTransformation* transformation) {
    if (transformation)
        transformation->PrepareImportTransformation();
    return TPointConversion(transformation);
}
