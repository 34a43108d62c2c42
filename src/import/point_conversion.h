// The conversion of every imported point into database coordinates: the import
// transformation's ConvertPoint, prepared once at the start of a run.
#pragma once

#include "import/nxyz_point.h"

#include <optional>

class TImportTransformation;

class TPointConversion {
public:
    // Not owned; without a transformation points pass unchanged.
    explicit TPointConversion(const TImportTransformation* transformation = nullptr)
        : m_transformation(transformation) {}

    // The point in database coordinates; nothing when the conversion fails (a latitude past
    // 90 degrees, a point outside every zone, a transformation PROJ refuses): such a point is
    // not written in its source coordinates.
    [[nodiscard]] std::optional<TPlanePoint> Convert(TPlanePoint p) const noexcept;

private:
    const TImportTransformation* m_transformation;
};

// Prepares the wizard's transformation at the start of a run (its errors propagate, before
// anything is written) and gives the conversion to apply to each point.
[[nodiscard]] TPointConversion PrepareRunConversion(TImportTransformation* transformation);
