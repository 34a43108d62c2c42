// The point record that every point format of the module delivers, and the plane point in which
// points are converted.
#pragma once

#include "platform/codepage.h"

#include <cstdint>
#include <optional>

struct TNXYZPoint {
    AnsiString Number;
    double X = 0;
    double Y = 0;
    // The height, where the format gives one.
    std::optional<double> Z;
    // Free text after the coordinates (PTS).
    AnsiString Comment;
    // The 1-based line of the file that gave the point.
    std::int64_t Line = 0;
    // Computed from observations rather than read as coordinates.
    bool Computed = false;
};

// A point in the plane, the form in which points are converted.
struct TPlanePoint {
    double X = 0;
    double Y = 0;
};
