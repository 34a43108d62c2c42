// Preview lines of point imports.
#include "import/preview_lines.h"

#include "platform/locale.h"
#include "text/number_text.h"

AnsiString PointPreviewLine(std::string_view number, std::initializer_list<double> values) {
    const char separator = DecimalSeparator();
    AnsiString line(number);
    for (const double value : values) {
        line += ' ';
        line += FormatFixed(value, 2, separator);
    }
    return line;
}
