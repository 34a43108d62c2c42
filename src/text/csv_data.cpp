#include "csv_data.h"

#include <algorithm>
#include <stdexcept>
#include <string>

void TCSVData::Clear() {
    m_text.clear();
    m_cells.clear();
    m_ends.clear();
    m_rowCount = 0;
    m_colCount = 0;
}

std::string_view TCSVData::Cells(int row, int col) const {
    if (row < 0 || row >= m_rowCount || col < 0 || col >= m_colCount)
        throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                ") outside the table");
    const std::size_t k = static_cast<std::size_t>(row) * m_colCount + col;
    const std::size_t begin = k == 0 ? 0 : m_ends[k - 1];
    return std::string_view(m_cells).substr(begin, m_ends[k] - begin);
}

void TCSVData::Parse(AnsiString text) {
    m_text = std::move(text);
    m_cells.clear();
    m_cells.reserve(m_text.size());
    m_ends.clear();
    m_rowCount = 0;
    m_colCount = 0;

    const char quote = m_quoteChar;
    const char delimiter = m_delimiter;
    bool inQuotes = false;
    char previous = '\0';
    std::size_t cellsInRow = 0;      // completed cells of the row being read
    std::vector<std::size_t> widths; // cells of every completed row
    std::size_t widest = 0;
    std::size_t completedCells = 0;
    std::size_t completedChars = 0;

    const char* p = m_text.data();
    const char* const end = p + m_text.size();
    const auto special = [&](char c) {
        return c == quote || c == delimiter || c == '\r' || c == '\n';
    };
    // The cell being read is the text of m_cells after the last end.
    while (p < end) {
        const char c = *p;
        if (!special(c)) {
            // A run of ordinary characters goes into the cell at once.
            const char* run = p + 1;
            while (run < end && !special(*run))
                ++run;
            m_cells.append(p, run);
            previous = run[-1];
            p = run;
            continue;
        }
        if (c == quote) {
            inQuotes = !inQuotes;
            if (inQuotes && previous == quote)
                m_cells += quote; // a doubled quote inside a quoted part
        } else if (!inQuotes && c == delimiter) {
            m_ends.push_back(m_cells.size());
            ++cellsInRow;
        } else if (inQuotes) {
            m_cells += c;
        } else if (c == '\n' && previous == '\r') {
            m_ends.push_back(m_cells.size());
            widths.push_back(cellsInRow + 1);
            widest = std::max(widest, cellsInRow + 1);
            cellsInRow = 0;
            completedCells = m_ends.size();
            completedChars = m_cells.size();
        }
        // Any other CR or LF outside quotes is dropped.
        previous = c;
        ++p;
    }
    // A last line without CR LF is not a row.
    m_ends.resize(completedCells);
    m_cells.resize(completedChars);
    m_rowCount = static_cast<int>(widths.size());
    m_colCount = static_cast<int>(widest);

    // Pad every row with empty cells to the width of the widest.
    if (m_ends.size() != widths.size() * widest) {
        std::vector<std::size_t> padded;
        padded.reserve(widths.size() * widest);
        std::size_t k = 0;
        for (const std::size_t width : widths) {
            for (std::size_t c = 0; c < width; ++c)
                padded.push_back(m_ends[k++]);
            const std::size_t last = padded.empty() ? 0 : padded.back();
            padded.insert(padded.end(), widest - width, last);
        }
        m_ends = std::move(padded);
    }
}

void TCSVData::Reparse() {
    AnsiString text = std::move(m_text);
    Parse(std::move(text));
}
