// The bounding rectangle of imported (converted) points.
#pragma once

#include "import/nxyz_point.h"

#include <limits>

class TImportExtent {
public:
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    double MinX = kNaN;
    double MinY = kNaN;
    double MaxX = kNaN;
    double MaxY = kNaN;

    // Empty when any of the four values is NaN.
    [[nodiscard]] bool IsEmpty() const;
    void Clear();
    void Extend(const TPlanePoint& p);
    // Merging an empty extent changes nothing.
    void Merge(const TImportExtent& other);
    // Both are 0 for an empty extent.
    [[nodiscard]] double Width() const;
    [[nodiscard]] double Height() const;
    // The rule for moving the host's view after a run: some width or some height.
    [[nodiscard]] bool HasArea() const { return Width() != 0 || Height() != 0; }
};
