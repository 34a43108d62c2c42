// The PTS point file.
#include "pts/pts_reader.h"

#include "text/number_text.h"
#include "text/separator.h"
#include "text/text_rules.h"

void ParsePtsLine(std::string_view line, TNXYZPoint& point) {
    std::string_view head, tail;
    SplitAtSeparator(line, ",", head, tail);
    const std::string_view numberText = head;
    SplitAtSeparator(tail, ",", head, tail);
    const double x = ReadDecimalOrRaise(head, kInvariantForm);
    SplitAtSeparator(tail, ",", head, tail);
    const double y = ReadDecimalOrRaise(head, kInvariantForm);
    point.Number.assign(numberText);
    point.Comment.assign(tail);
    point.X = x;
    point.Y = y;
    point.Z.reset();
}

TLineOutcome TPtsFormat::ReadLine(std::string_view line, TNXYZPoint& point) {
    const std::string_view stripped = TrimControls(line);
    if (stripped.empty())
        return TLineOutcome::NoPoint();
    ParsePtsLine(stripped, point);
    return TLineOutcome::Point();
}
