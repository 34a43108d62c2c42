#include "coords/coordinate_transformation.h"

bool TInverseXYCoordinateTransformer::TransformPoints(TCSPointArray& points, TCSBooleanArray& flags,
                                                      AnsiString&) {
    for (auto& p : points)
        std::swap(p.x, p.y);
    flags.assign(points.size(), 1);
    return true;
}

bool TInverseXYCoordinateTransformer::TransformBounds(TCSBoundingBox& box, AnsiString&) {
    std::swap(box.min.x, box.min.y);
    std::swap(box.max.x, box.max.y);
    box.Normalize();
    return true;
}

bool TCompositeCoordinateTransformer::TransformPoint(TCSPoint& point, AnsiString& error) {
    TCSPoint copy = point;
    AnsiString ignored;
    for (auto& member : m_members)
        if (!member->TransformPoint(copy, ignored)) {
            error.clear();
            return false;
        }
    point = copy;
    return true;
}

bool TCompositeCoordinateTransformer::TransformPoints(TCSPointArray& points, TCSBooleanArray& flags,
                                                      AnsiString& error) {
    if (points.empty())
        return true;
    TCSPointArray copy = points;
    for (auto& member : m_members) {
        flags.assign(copy.size(), 0);
        if (!member->TransformPoints(copy, flags, error))
            return false;
    }
    points = std::move(copy);
    return true;
}

bool TCompositeCoordinateTransformer::TransformBounds(TCSBoundingBox& box, AnsiString& error) {
    TCSBoundingBox copy = box;
    AnsiString ignored;
    for (auto& member : m_members)
        if (!member->TransformBounds(copy, ignored)) {
            error.clear();
            return false;
        }
    box = copy;
    return true;
}

bool TCompositeCoordinateTransformer::InverseTransformBounds(TCSBoundingBox& box,
                                                             AnsiString& error) {
    // Target back to source: the members' inverses run from the last member to the first.
    TCSBoundingBox copy = box;
    AnsiString ignored;
    for (auto it = m_members.rbegin(); it != m_members.rend(); ++it)
        if (!(*it)->InverseTransformBounds(copy, ignored)) {
            error.clear();
            return false;
        }
    box = copy;
    return true;
}

bool TCompositeCoordinateTransformer::Cacheable() const {
    for (const auto& member : m_members)
        if (!member->Cacheable())
            return false;
    return true;
}
