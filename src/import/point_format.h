// What a point file format implements: the lines of one file, in order, into point records.
// Everything else of a point import (opening the file, line numbers, conversion, writing, the
// report) is the pipeline's.
#pragma once

#include "import/import_report.h"
#include "import/nxyz_point.h"

#include <cstdint>
#include <optional>
#include <string_view>

// What one line of a point file held.
struct TLineOutcome {
    enum class TKind { Point, NoPoint, Skipped };

    TKind Kind = TKind::NoPoint;
    // Why a line meant as a point was skipped.
    TSkipReason Reason = TSkipReason::Malformed;

    static TLineOutcome Point() { return {TKind::Point, TSkipReason::Malformed}; }
    static TLineOutcome NoPoint() { return {TKind::NoPoint, TSkipReason::Malformed}; }
    static TLineOutcome Skip(TSkipReason reason) { return {TKind::Skipped, reason}; }
};

// What a format held back until the end of its file, with the line that gave it.
struct THeldLine {
    TLineOutcome Outcome;
    std::int64_t Line = 0;
};

class IPointFormat {
public:
    virtual ~IPointFormat() = default;
    // Reads the next line of the file, without its line end, and keeps what later lines need
    // (a station, an orientation). Point: `point` holds the line's point, its Line not yet set.
    // NoPoint: the line holds no point (blank, a record of another kind). Skipped: the line was
    // meant as a point and cannot be read; it is counted and the file goes on. An exception ends
    // the file: the pipeline names the file and the line in front of its message.
    // ReadLine is called once for every line of the file, in order.
    virtual TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) = 0;
    // After the last line, until it gives nothing: what the format kept back until it had seen
    // the whole file, one line at a time (points computed from observations, which a
    // coordinate record of the same file may still have replaced). A Point outcome fills
    // `point`. A format that holds nothing back keeps this default.
    virtual std::optional<THeldLine> NextHeld(TNXYZPoint& /*point*/) { return std::nullopt; }
};
