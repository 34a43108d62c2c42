// Polar survey observations reduced to coordinates: the angle units of survey files, a station
// set-up, one observation from it, and the point it gives.
#pragma once

#include "import/import_report.h"

#include <optional>
#include <variant>

namespace SDRReader {

// Angles as survey files write them, decimal: 360, 400 or 6400 a full circle.
enum class TAngleUnit { Degrees, Gons, Mils };

[[nodiscard]] double AngleRadians(double value, TAngleUnit unit);

// A station: where the instrument stands and how its horizontal circle is turned. Lengths are
// in the unit of the file's coordinates.
struct TStationSetup {
    double Northing = 0;
    double Easting = 0;
    // Heights that the file does not give leave the points of the station without a height.
    std::optional<double> Height;
    std::optional<double> InstrumentHeight;
    // Radians to add to a horizontal circle reading to have a bearing from grid north; empty
    // while the station has no orientation.
    std::optional<double> Orientation;
};

// One observation from the station; angles in radians, lengths in the coordinates' unit.
struct TObservation {
    double SlopeDistance = 0;
    double Zenith = 0;
    double Reading = 0;
    std::optional<double> TargetHeight;
};

struct TReducedPoint {
    double Northing = 0;
    double Easting = 0;
    std::optional<double> Height;
};

// The observed point: horizontal distance = slope x sin(zenith), bearing = reading +
// orientation, height = station height + instrument height + slope x cos(zenith) - target
// height (when all three heights are known). What cannot be reduced gives its reason: no
// station (null), a station without orientation, a distance that is not above zero, or a
// result out of the range of numbers.
[[nodiscard]] std::variant<TReducedPoint, TSkipReason> Reduce(const TStationSetup* station,
                                                              const TObservation& observation);

} // namespace SDRReader
