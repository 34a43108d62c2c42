// Polar survey observations reduced to coordinates.
#include "sdr/observation_reduction.h"

#include <cmath>
#include <numbers>

namespace SDRReader {

double AngleRadians(double value, TAngleUnit unit) {
    switch (unit) {
    case TAngleUnit::Degrees:
        return value * (std::numbers::pi / 180);
    case TAngleUnit::Gons:
        return value * (std::numbers::pi / 200);
    case TAngleUnit::Mils:
        return value * (std::numbers::pi / 3200);
    }
    return value;
}

std::variant<TReducedPoint, TSkipReason> Reduce(const TStationSetup* station,
                                                const TObservation& observation) {
    if (!station)
        return TSkipReason::NoStation;
    if (!station->Orientation)
        return TSkipReason::NoOrientation;
    // Also a distance that is no number at all.
    if (!(observation.SlopeDistance > 0))
        return TSkipReason::NoDistance;
    const double horizontal = observation.SlopeDistance * std::sin(observation.Zenith);
    const double bearing = observation.Reading + *station->Orientation;
    TReducedPoint point;
    point.Northing = station->Northing + horizontal * std::cos(bearing);
    point.Easting = station->Easting + horizontal * std::sin(bearing);
    if (station->Height && station->InstrumentHeight && observation.TargetHeight)
        point.Height = *station->Height + *station->InstrumentHeight +
                       observation.SlopeDistance * std::cos(observation.Zenith) -
                       *observation.TargetHeight;
    if (!std::isfinite(point.Northing) || !std::isfinite(point.Easting) ||
        (point.Height && !std::isfinite(*point.Height)))
        return TSkipReason::NotReducible;
    return point;
}

} // namespace SDRReader
