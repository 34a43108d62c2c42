// The point record that every point reader of the module delivers.
#pragma once

#include "platform/codepage.h"

struct TNXYZPoint {
    AnsiString Number;
    double X = 0;
    double Y = 0;
    // Height: delivered by the SDR and RPT readers only.
    double Z = 0;
    // Delivered by the PTS reader only.
    AnsiString Comment;
};

// A point in the plane, the form in which points are converted.
struct TPlanePoint {
    double X = 0;
    double Y = 0;
};
