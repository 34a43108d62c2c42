// TCSVData: delimited text as a rectangular table of text cells.
#include "text/csv_data.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t kNoRowEnd = std::string_view::npos;

// One cell of a row: its raw extent in the text (up to its delimiter or the row's line break)
// and, while its text is one piece of the source, where that piece is.
struct TScannedCell {
    std::size_t rawBegin;
    std::size_t rawEnd;
    std::size_t textBegin;
    std::size_t textSize;
    bool contiguous;
};

// Reads the row that starts at `pos` and calls onCell for each of its cells in order; returns
// where the next row starts, or kNoRowEnd when the text ends before the row's CR LF (the cells
// reported for it are then no row).
template <class OnCell>
std::size_t ScanRow(std::string_view text, std::size_t pos, char quote, char delimiter,
                    OnCell&& onCell) {
    const char* const data = text.data();
    const std::size_t n = text.size();
    const auto previous = [data](std::size_t i) { return i > 0 ? data[i - 1] : '\0'; };
    const auto special = [&](char c) {
        return c == quote || c == delimiter || c == '\r' || c == '\n';
    };
    TScannedCell cell{pos, pos, pos, 0, true};
    const auto append = [&cell](std::size_t from, std::size_t to) {
        if (cell.textSize == 0)
            cell.textBegin = from;
        else if (cell.textBegin + cell.textSize != from)
            cell.contiguous = false;
        cell.textSize += to - from;
    };
    bool inQuotes = false;
    std::size_t i = pos;
    while (i < n) {
        const char c = data[i];
        if (!special(c)) {
            // A run of ordinary characters belongs to the cell at once.
            std::size_t run = i + 1;
            while (run < n && !special(data[run]))
                ++run;
            append(i, run);
            i = run;
            continue;
        }
        if (c == quote) {
            inQuotes = !inQuotes;
            if (inQuotes && previous(i) == quote)
                append(i, i + 1); // a doubled quote inside a quoted part
        } else if (!inQuotes && c == delimiter) {
            cell.rawEnd = i;
            onCell(cell);
            cell = {i + 1, i + 1, i + 1, 0, true};
        } else if (inQuotes) {
            append(i, i + 1);
        } else if (c == '\n' && previous(i) == '\r') {
            cell.rawEnd = i;
            onCell(cell);
            return i + 1;
        }
        // Any other CR or LF outside quotes is dropped.
        ++i;
    }
    return kNoRowEnd;
}

// The text of a cell that is not one piece of the source, by the same rules as ScanRow. Inside
// the cell's raw extent no delimiter and no row end stand outside quotes.
void DecodeCell(std::string_view text, const TScannedCell& cell, char quote, AnsiString& out) {
    bool inQuotes = false;
    for (std::size_t i = cell.rawBegin; i < cell.rawEnd; ++i) {
        const char c = text[i];
        if (c == quote) {
            inQuotes = !inQuotes;
            if (inQuotes && (i > 0 ? text[i - 1] : '\0') == quote)
                out += quote;
        } else if (inQuotes || (c != '\r' && c != '\n')) {
            out += c;
        }
    }
}

} // namespace

const std::shared_ptr<const TCSVData::TContent>& TCSVData::NoContent() {
    static const auto empty = [] {
        auto content = std::make_shared<TContent>();
        content->text = std::make_shared<const AnsiString>();
        content->rowStarts.push_back(0);
        return std::shared_ptr<const TContent>(std::move(content));
    }();
    return empty;
}

TCSVData::TCSVData() : m_content(NoContent()) {}

void TCSVData::Clear() {
    m_content = NoContent();
    m_splitRow = -1;
    m_rowCells.clear();
}

std::string_view TCSVData::Cells(int row, int col) const {
    const TContent& content = *m_content;
    if (row < 0 || row >= content.rowCount || col < 0 || col >= content.colCount)
        throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                ") outside the table");
    if (row != m_splitRow)
        SplitRow(row);
    // A row narrower than the widest is padded with empty cells.
    return static_cast<std::size_t>(col) < m_rowCells.size() ? m_rowCells[col] : std::string_view();
}

void TCSVData::SplitRow(int row) const {
    const TContent& content = *m_content;
    const std::string_view text(*content.text);
    m_splitRow = -1;
    m_rowCells.clear();
    auto decoded = std::lower_bound(content.decodedCells.begin(), content.decodedCells.end(), row,
                                    [](const TDecodedCell& d, int r) { return d.row < r; });
    ScanRow(text, content.rowStarts[static_cast<std::size_t>(row)], content.quoteChar,
            content.delimiter, [&](const TScannedCell& cell) {
                if (cell.contiguous) {
                    m_rowCells.push_back(text.substr(cell.textBegin, cell.textSize));
                } else {
                    const TDecodedCell& d = *decoded++;
                    m_rowCells.emplace_back(content.decoded.data() + d.begin, d.end - d.begin);
                }
            });
    m_splitRow = row;
}

void TCSVData::Parse(AnsiString text) {
    ParseText(std::make_shared<const AnsiString>(std::move(text)));
}

void TCSVData::Reparse() {
    ParseText(m_content->text);
}

void TCSVData::ParseText(std::shared_ptr<const AnsiString> source) {
    auto content = std::make_shared<TContent>();
    content->delimiter = m_delimiter;
    content->quoteChar = m_quoteChar;
    const std::string_view text(*source);
    // Every row ends with an LF: room for the row starts at once, rather than a copy of them
    // twice the size while they grow.
    content->rowStarts.reserve(
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::size_t widest = 0;
    std::size_t pos = 0;
    int row = 0;
    while (pos < text.size()) {
        int col = 0;
        const std::size_t decodedCells = content->decodedCells.size();
        const std::size_t decodedChars = content->decoded.size();
        const std::size_t next =
            ScanRow(text, pos, m_quoteChar, m_delimiter, [&](const TScannedCell& cell) {
                if (!cell.contiguous) {
                    const std::size_t begin = content->decoded.size();
                    DecodeCell(text, cell, m_quoteChar, content->decoded);
                    content->decodedCells.push_back({row, col, begin, content->decoded.size()});
                }
                ++col;
            });
        if (next == kNoRowEnd) {
            // A last line without CR LF is not a row.
            content->decodedCells.resize(decodedCells);
            content->decoded.resize(decodedChars);
            break;
        }
        content->rowStarts.push_back(pos);
        widest = std::max(widest, static_cast<std::size_t>(col));
        pos = next;
        ++row;
    }
    content->rowStarts.push_back(pos);
    content->text = std::move(source);
    content->rowCount = row;
    content->colCount = static_cast<int>(widest);
    m_content = std::move(content);
    m_splitRow = -1;
    m_rowCells.clear();
}
