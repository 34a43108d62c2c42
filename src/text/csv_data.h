// TCSVData: delimited text as a rectangular table of text cells.
#pragma once

#include "platform/codepage.h"

#include <string_view>
#include <vector>

// Rows end with CR LF only; a quote character opens or closes a quoted part anywhere in a
// cell, and inside a quoted part delimiters and line breaks are cell text. A doubled quote
// inside a quoted part is one quote character. Text after the last CR LF is not a row. Every
// row is padded with empty cells to the width of the widest one.
class TCSVData {
public:
    TCSVData() = default;

    void Clear();
    // Keeps `text` as the source text and rebuilds the rows from it.
    void Parse(AnsiString text);
    // Parses the stored source text again, after the delimiter or quote character changed.
    void Reparse();

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    // The cells of the first row (of every row), 0 without rows.
    int ColCount() const { return m_rows.empty() ? 0 : static_cast<int>(m_rows[0].size()); }
    // Rows and columns count from 0; an index outside the table throws std::out_of_range.
    const AnsiString& Cells(int row, int col) const {
        return m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col));
    }

    const AnsiString& Text() const { return m_text; }
    char Delimiter() const { return m_delimiter; }
    void SetDelimiter(char delimiter) { m_delimiter = delimiter; }
    char QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(char quoteChar) { m_quoteChar = quoteChar; }

private:
    AnsiString m_text;
    std::vector<std::vector<AnsiString>> m_rows;
    char m_delimiter = '\0';
    char m_quoteChar = '\0';
};
