#include "csv_data.h"

#include <algorithm>

void TCSVData::Clear() {
    m_text.clear();
    m_rows.clear();
}

void TCSVData::Parse(AnsiString text) {
    m_text = std::move(text);
    m_rows.clear();

    const char quote = m_quoteChar;
    const char delimiter = m_delimiter;
    bool inQuotes = false;
    char previous = '\0';
    AnsiString cell;
    std::vector<AnsiString> row;
    std::size_t widest = 0; // cells of the widest completed row

    for (const char c : m_text) {
        if (c == quote) {
            inQuotes = !inQuotes;
            if (inQuotes && previous == quote)
                cell += quote; // a doubled quote inside a quoted part
        } else if (!inQuotes && c == delimiter) {
            row.push_back(std::move(cell));
            cell.clear();
        } else if (inQuotes || (c != '\r' && c != '\n')) {
            cell += c;
        } else if (c == '\n' && previous == '\r') {
            row.push_back(std::move(cell));
            cell.clear();
            widest = std::max(widest, row.size());
            m_rows.push_back(std::move(row));
            row.clear();
        }
        // Any other CR or LF outside quotes is dropped.
        previous = c;
    }
    // A last line without CR LF is not a row.
    for (auto& r : m_rows)
        r.resize(widest);
}

void TCSVData::Reparse() {
    AnsiString text = std::move(m_text);
    Parse(std::move(text));
}
