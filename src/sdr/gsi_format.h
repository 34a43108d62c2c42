// Leica GSI point files: GSI-8 and GSI-16 data blocks, one a line, into point records.
#pragma once

#include "import/point_format.h"

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
class TGsiFormat final : public IPointFormat {
public:
    TLineOutcome ReadLine(std::string_view line, TNXYZPoint& point) override;
};

} // namespace SDRReader
