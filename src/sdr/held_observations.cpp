// The points of a survey file's observations, held until its end.
#include "sdr/held_observations.h"

namespace SDRReader {

void THeldObservations::Hold(std::string_view number, std::int64_t line,
                             const std::variant<TReducedPoint, TSkipReason>& reduced,
                             bool eastingFirst) {
    m_entries.push_back({AnsiString(number), line, reduced, eastingFirst});
}

void THeldObservations::NoteCoordinateRecord(std::string_view number) {
    m_coordinateNumbers.emplace(number);
}

std::optional<THeldLine> THeldObservations::Next(TNXYZPoint& point) {
    while (m_next < m_entries.size()) {
        const TEntry& entry = m_entries[m_next++];
        if (m_coordinateNumbers.contains(entry.number))
            continue;
        if (const auto* reason = std::get_if<TSkipReason>(&entry.reduced))
            return THeldLine{TLineOutcome::Skip(*reason), entry.line};
        const auto& reduced = std::get<TReducedPoint>(entry.reduced);
        point.Number = entry.number;
        point.X = entry.eastingFirst ? reduced.Easting : reduced.Northing;
        point.Y = entry.eastingFirst ? reduced.Northing : reduced.Easting;
        point.Z = reduced.Height;
        point.Comment.clear();
        point.Computed = true;
        return THeldLine{TLineOutcome::Point(), entry.line};
    }
    // Everything has been given: the file's memory goes now, not with the reader.
    m_entries = {};
    m_coordinateNumbers = {};
    m_next = 0;
    return std::nullopt;
}

} // namespace SDRReader
