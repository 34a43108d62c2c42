// Leica GSI point files: GSI-8 and GSI-16 data blocks, one a line, into point records.
#pragma once

#include "import/point_format.h"
#include "sdr/held_observations.h"
#include "sdr/observation_reduction.h"
#include "sdr/survey_options.h"

namespace SDRReader {

// A block is a row of fixed-width words, each followed by one blank (the last one's may be
// missing): 16 characters in GSI-8, 24 in GSI-16, whose lines start with "*". A word holds its
// two-digit word index, four characters of information (the sixth character of the word is the
// unit), the sign and 8 or 16 characters of data.
//
// A block with the point number (word 11), the easting (81) and the northing (82) is a point:
// X the easting, Y the northing, Z the height (83) when the block has one. The number loses its
// leading zeros ("0" when it has nothing else); its letters are kept. Blank lines and blocks of
// other words (observations, codes, the station) hold no point. A block is skipped as malformed
// when a word is cut short, too long or not followed by one blank, when its index is not two
// digits, when a coordinate has a unit that is not a length, a sign other than "+" and "-" or a
// non-digit in its data, when the number is blank, and when it has an easting or a northing
// without the other or without a number. Nothing is thrown for bad data.
//
// Reducing observations, the station's words are read too: its easting (84), northing (85) and
// height (86), the instrument height (88; in the station's block or after it) and the reflector
// height (87, in force until the next). A block without coordinates that holds the horizontal
// circle reading (21), the zenith angle (22) and the slope distance (31) of a numbered point
// gives that point, computed from the last station; the instrument orients its circle on grid
// north itself. Angles are read by their unit character: 2 gons, 3 decimal degrees,
// 4 sexagesimal degrees, 5 mils. A station block without its easting or northing, or an angle
// word that does not read, is malformed.
class TGsiFormat final : public IPointFormat {
public:
    explicit TGsiFormat(const TSurveyReadOptions& options = {}) : m_options(options) {}

    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;
    std::optional<THeldLine> NextHeld(TNXYZPoint& point) override { return m_held.Next(point); }

private:
    // The station and observation words of one block.
    struct TSetupWords {
        std::optional<double> horizontal;
        std::optional<double> zenith;
        std::optional<double> slope;
        std::optional<double> stationEasting;
        std::optional<double> stationNorthing;
        std::optional<double> stationHeight;
        std::optional<double> reflectorHeight;
        std::optional<double> instrumentHeight;
        // Where a word of that index goes; null for other words.
        std::optional<double>* Angle(int index);
        std::optional<double>* Length(int index);
    };
    // Takes the block's station, heights and observation; false for a malformed one.
    bool ReadSetup(const TSetupWords& words, std::string_view number, bool coordinates);

    TSurveyReadOptions m_options;
    std::int64_t m_line = 0;
    std::optional<TStationSetup> m_station;
    std::optional<double> m_targetHeight;
    THeldObservations m_held;
};

} // namespace SDRReader
