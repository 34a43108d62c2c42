// Transformations between two coordinate systems: the base, the identical one, the X/Y
// exchange and the composite.
#pragma once

#include "coords/coordinate_reference.h"

#include <cstdint>
#include <vector>

using TCSPointArray = std::vector<TCSPoint>;
using TCSBooleanArray = std::vector<std::uint8_t>; // one flag per point, 1 = converted

// Every operation returns false with a message in `error` when it fails; on failure the points
// passed in are unchanged unless an operation says otherwise.
class TCoordinateTransformation : public TCSObject {
public:
    TCoordinateTransformation(TCoordinateReferencePtr source, TCoordinateReferencePtr target)
        : m_source(std::move(source)), m_target(std::move(target)) {}

    virtual bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags,
                                 AnsiString& error) = 0;
    virtual bool TransformPoint(TCSPoint& point, AnsiString& error) = 0;
    virtual bool TransformBounds(TCSBoundingBox& box, AnsiString& error) = 0;
    virtual bool InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) = 0;

    const TCoordinateReferencePtr& Source() const { return m_source; }
    const TCoordinateReferencePtr& Target() const { return m_target; }

    // Whether a built transformation may be kept and handed out again: false for those whose
    // results depend on what they converted before (the zone used last), so that a fresh build
    // and a cached one always give the same results.
    virtual bool Cacheable() const { return true; }

protected:
    TCoordinateReferencePtr m_source, m_target;
};

using TCoordinateTransformationPtr = std::shared_ptr<TCoordinateTransformation>;

class TIdenticalCoordinateTransformer final : public TCoordinateTransformation {
public:
    using TCoordinateTransformation::TCoordinateTransformation;
    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString&) override {
        flags.assign(points.size(), 1);
        return true;
    }
    bool TransformPoint(TCSPoint&, AnsiString&) override { return true; }
    bool TransformBounds(TCSBoundingBox&, AnsiString&) override { return true; }
    bool InverseTransformBounds(TCSBoundingBox&, AnsiString&) override { return true; }
};

class TInverseXYCoordinateTransformer final : public TCoordinateTransformation {
public:
    using TCoordinateTransformation::TCoordinateTransformation;
    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString&) override;
    bool TransformPoint(TCSPoint& point, AnsiString&) override {
        std::swap(point.x, point.y);
        return true;
    }
    bool TransformBounds(TCSBoundingBox& box, AnsiString&) override;
    bool InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) override {
        return TransformBounds(box, error);
    }
};

// Applies its members in list order; stops at the first failure.
class TCompositeCoordinateTransformer final : public TCoordinateTransformation {
public:
    using TCoordinateTransformation::TCoordinateTransformation;
    void Add(TCoordinateTransformationPtr member) { m_members.push_back(std::move(member)); }
    const std::vector<TCoordinateTransformationPtr>& Members() const { return m_members; }
    bool Cacheable() const override;

    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString& error) override;
    bool TransformPoint(TCSPoint& point, AnsiString& error) override;
    bool TransformBounds(TCSBoundingBox& box, AnsiString& error) override;
    bool InverseTransformBounds(TCSBoundingBox& box, AnsiString& error) override;

private:
    std::vector<TCoordinateTransformationPtr> m_members;
};
