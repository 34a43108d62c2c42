// TCSVData: delimited text as a rectangular table of text cells.
#include "text/csv_data.h"

#include <algorithm>
#include <stdexcept>
#include <string>

const std::shared_ptr<const TCSVData::TContent>& TCSVData::NoContent() {
    static const auto empty = std::make_shared<const TContent>();
    return empty;
}

TCSVData::TCSVData() : m_content(NoContent()) {}

void TCSVData::Clear() {
    m_content = NoContent();
}

std::string_view TCSVData::Cells(int row, int col) const {
    const TContent& content = *m_content;
    if (row < 0 || row >= content.rowCount || col < 0 || col >= content.colCount)
        throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                ") outside the table");
    const std::size_t k = static_cast<std::size_t>(row) * content.colCount + col;
    const std::size_t begin = k == 0 ? 0 : content.ends[k - 1];
    return std::string_view(content.cells).substr(begin, content.ends[k] - begin);
}

void TCSVData::Parse(AnsiString text) {
    auto content = std::make_shared<TContent>();
    content->text = std::move(text);
    const AnsiString& source = content->text;
    AnsiString& cells = content->cells;
    std::vector<std::size_t>& ends = content->ends;
    cells.reserve(source.size());

    const char quote = m_quoteChar;
    const char delimiter = m_delimiter;
    bool inQuotes = false;
    char previous = '\0';
    std::size_t cellsInRow = 0;      // completed cells of the row being read
    std::vector<std::size_t> widths; // cells of every completed row
    std::size_t widest = 0;
    std::size_t completedCells = 0;
    std::size_t completedChars = 0;

    const char* p = source.data();
    const char* const end = p + source.size();
    const auto special = [&](char c) {
        return c == quote || c == delimiter || c == '\r' || c == '\n';
    };
    // The cell being read is the text of cells after the last end.
    while (p < end) {
        const char c = *p;
        if (!special(c)) {
            // A run of ordinary characters goes into the cell at once.
            const char* run = p + 1;
            while (run < end && !special(*run))
                ++run;
            cells.append(p, run);
            previous = run[-1];
            p = run;
            continue;
        }
        if (c == quote) {
            inQuotes = !inQuotes;
            if (inQuotes && previous == quote)
                cells += quote; // a doubled quote inside a quoted part
        } else if (!inQuotes && c == delimiter) {
            ends.push_back(cells.size());
            ++cellsInRow;
        } else if (inQuotes) {
            cells += c;
        } else if (c == '\n' && previous == '\r') {
            ends.push_back(cells.size());
            widths.push_back(cellsInRow + 1);
            widest = std::max(widest, cellsInRow + 1);
            cellsInRow = 0;
            completedCells = ends.size();
            completedChars = cells.size();
        }
        // Any other CR or LF outside quotes is dropped.
        previous = c;
        ++p;
    }
    // A last line without CR LF is not a row.
    ends.resize(completedCells);
    cells.resize(completedChars);
    content->rowCount = static_cast<int>(widths.size());
    content->colCount = static_cast<int>(widest);

    // Pad every row with empty cells to the width of the widest.
    if (ends.size() != widths.size() * widest) {
        std::vector<std::size_t> padded;
        padded.reserve(widths.size() * widest);
        std::size_t k = 0;
        for (const std::size_t width : widths) {
            for (std::size_t c = 0; c < width; ++c)
                padded.push_back(ends[k++]);
            const std::size_t last = padded.empty() ? 0 : padded.back();
            padded.insert(padded.end(), widest - width, last);
        }
        ends = std::move(padded);
    }
    m_content = std::move(content);
}

void TCSVData::Reparse() {
    Parse(m_content->text);
}
