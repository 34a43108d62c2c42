// TCSVData: delimited text as a rectangular table of text cells.
#pragma once

#include "platform/codepage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Rows end with CR LF only; a quote character opens or closes a quoted part anywhere in a
// cell, and inside a quoted part delimiters and line breaks are cell text. A doubled quote
// inside a quoted part is one quote character. Text after the last CR LF is not a row. Every
// row is padded with empty cells to the width of the widest one.
class TCSVData {
public:
    TCSVData();

    // Copies share the parsed table, so a copy is cheap; Clear, Parse and Reparse give the table
    // new content and never change its copies (a run keeps the table it started with).
    void Clear();
    // Keeps `text` as the source text and rebuilds the rows from it.
    void Parse(AnsiString text);
    // Parses the stored source text again, after the delimiter or quote character changed.
    void Reparse();

    int RowCount() const { return m_content->rowCount; }
    // The cells of the first row (of every row), 0 without rows.
    int ColCount() const { return m_content->colCount; }
    // Rows and columns count from 0; an index outside the table throws std::out_of_range.
    // The view stays valid until the next Parse, Reparse or Clear of this table.
    std::string_view Cells(int row, int col) const;

    const AnsiString& Text() const { return m_content->text; }
    char Delimiter() const { return m_delimiter; }
    void SetDelimiter(char delimiter) { m_delimiter = delimiter; }
    char QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(char quoteChar) { m_quoteChar = quoteChar; }

private:
    struct TContent {
        AnsiString text;
        // The cells of all rows, row by row, one after another: cell k is the text of cells
        // from the end of cell k - 1 to ends[k]. Every row has colCount cells.
        AnsiString cells;
        std::vector<std::size_t> ends;
        int rowCount = 0;
        int colCount = 0;
    };

    static const std::shared_ptr<const TContent>& NoContent();

    std::shared_ptr<const TContent> m_content; // never null
    char m_delimiter = '\0';
    char m_quoteChar = '\0';
};
