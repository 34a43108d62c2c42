// The points a survey file's observations give, held until the file has been read: a point whose
// number a coordinate record of the same file gives keeps that record.
#pragma once

#include "import/point_format.h"
#include "sdr/observation_reduction.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace SDRReader {

class THeldObservations {
public:
    // Holds what the observation of `number` on `line` gave: its point, written easting first
    // or northing first as the file writes its coordinates, or why it gave none.
    void Hold(std::string_view number, std::int64_t line,
              const std::variant<TReducedPoint, TSkipReason>& reduced, bool eastingFirst);
    // A coordinate record of the file gave this number: observations of it, before or after,
    // are dropped.
    void NoteCoordinateRecord(std::string_view number);
    // The next held observation, in the order of the lines, that no coordinate record
    // replaced; a point is marked computed. Nothing once all have been given.
    [[nodiscard]] std::optional<THeldLine> Next(TNXYZPoint& point);

private:
    struct TEntry {
        AnsiString number;
        std::int64_t line = 0;
        std::variant<TReducedPoint, TSkipReason> reduced;
        bool eastingFirst = true;
    };
    std::vector<TEntry> m_entries;
    std::unordered_set<AnsiString> m_coordinateNumbers;
    std::size_t m_next = 0;
};

} // namespace SDRReader
