// The bounding rectangle of imported points.
#include "import/import_extent.h"

#include <cmath>

bool TImportExtent::IsEmpty() const {
    return std::isnan(MinX) || std::isnan(MinY) || std::isnan(MaxX) || std::isnan(MaxY);
}

void TImportExtent::Clear() {
    MinX = MinY = MaxX = MaxY = kNaN;
}

void TImportExtent::Extend(const TPlanePoint& p) {
    if (IsEmpty()) {
        MinX = MaxX = p.X;
        MinY = MaxY = p.Y;
        return;
    }
    if (p.X < MinX)
        MinX = p.X;
    if (p.X > MaxX)
        MaxX = p.X;
    if (p.Y < MinY)
        MinY = p.Y;
    if (p.Y > MaxY)
        MaxY = p.Y;
}

void TImportExtent::Merge(const TImportExtent& other) {
    if (other.IsEmpty())
        return;
    if (IsEmpty()) {
        *this = other;
        return;
    }
    MinX = std::min(MinX, other.MinX);
    MinY = std::min(MinY, other.MinY);
    MaxX = std::max(MaxX, other.MaxX);
    MaxY = std::max(MaxY, other.MaxY);
}

double TImportExtent::Width() const {
    return IsEmpty() ? 0.0 : MaxX - MinX;
}

double TImportExtent::Height() const {
    return IsEmpty() ? 0.0 : MaxY - MinY;
}
