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
//
// The table holds its source text once and where each row starts in it; a row is split into
// its cells when one of its cells is asked for (the last split row is kept), so a table of a
// large file takes about the file's size plus a word per row. Only a cell whose text is not
// one piece of the source (a doubled quote, a quote inside the cell, a lone CR or LF dropped)
// keeps a decoded copy.
class TCSVData {
public:
    TCSVData();

    // Copies share the parsed table, so a copy is cheap; Clear, Parse and Reparse give the table
    // new content and never change its copies (a run keeps the table it started with).
    void Clear();
    // Keeps `text` as the source text and finds the rows in it.
    void Parse(AnsiString text);
    // Parses the stored source text again (without copying it), after the delimiter or quote
    // character changed.
    void Reparse();

    int RowCount() const { return m_content->rowCount; }
    // The cells of the widest row (of every row), 0 without rows.
    int ColCount() const { return m_content->colCount; }
    // Rows and columns count from 0; an index outside the table throws std::out_of_range.
    // The view stays valid until the next Parse, Reparse or Clear of this table. Reading the
    // cells of one row after another is cheap; a const table still changes the row it keeps
    // split, so one table object is not read from two threads at once.
    std::string_view Cells(int row, int col) const;

    const AnsiString& Text() const { return *m_content->text; }
    char Delimiter() const { return m_delimiter; }
    void SetDelimiter(char delimiter) { m_delimiter = delimiter; }
    char QuoteChar() const { return m_quoteChar; }
    void SetQuoteChar(char quoteChar) { m_quoteChar = quoteChar; }

private:
    // A cell whose text had to be decoded: its place and its text in TContent::decoded.
    struct TDecodedCell {
        int row;
        int col;
        std::size_t begin;
        std::size_t end;
    };
    struct TContent {
        std::shared_ptr<const AnsiString> text; // never null; shared by reparsed contents
        // Where each row starts in the text, and after the last, where the last row ends.
        std::vector<std::size_t> rowStarts;
        AnsiString decoded;
        std::vector<TDecodedCell> decodedCells; // by row, then column
        char delimiter = '\0';
        char quoteChar = '\0';
        int rowCount = 0;
        int colCount = 0;
    };

    static const std::shared_ptr<const TContent>& NoContent();
    void ParseText(std::shared_ptr<const AnsiString> text);
    void SplitRow(int row) const;

    std::shared_ptr<const TContent> m_content; // never null
    char m_delimiter = '\0';
    char m_quoteChar = '\0';
    // The cells of the row last split (-1: none); views into the content.
    mutable int m_splitRow = -1;
    mutable std::vector<std::string_view> m_rowCells;
};
