// TCSVData: delimited text as a rectangular table of text cells.
#pragma once

#include "platform/codepage.h"

#include <cstddef>
#include <cstdint>
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

    int RowCount() const { return m_rowCount; }
    // The cells of the first row (of every row), 0 without rows.
    int ColCount() const { return m_colCount; }
    // Rows and columns count from 0; an index outside the table throws std::out_of_range.
    // The view stays valid until the next Parse, Reparse or Clear.
    std::string_view Cells(int row, int col) const;

    const AnsiString& Text() const { return m_text; }
    char Delimiter() const { return m_delimiter; }
    void SetDelimiter(char delimiter) { m_delimiter = delimiter; }
    char QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(char quoteChar) { m_quoteChar = quoteChar; }

private:
    AnsiString m_text;
    // The cells of all rows, row by row, one after another: cell k is the text of m_cells
    // from the end of cell k - 1 to m_ends[k]. Every row has m_colCount cells.
    AnsiString m_cells;
    std::vector<std::size_t> m_ends;
    int m_rowCount = 0;
    int m_colCount = 0;
    char m_delimiter = '\0';
    char m_quoteChar = '\0';
};
