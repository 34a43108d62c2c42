// The delimited table: any text with any delimiter and quote character.
#include "fuzz_support.h"

#include "text/csv_data.h"

#include <stdexcept>

namespace {
void CheckTable(const TCSVData& table) {
    const int rows = table.RowCount(), cols = table.ColCount();
    FUZZ_CHECK(rows >= 0 && cols >= 0);
    FUZZ_CHECK(rows > 0 ? cols > 0 : cols == 0);
    // Every row has ColCount cells; their text comes from the source text.
    std::size_t chars = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            chars += table.Cells(r, c).size();
    FUZZ_CHECK(chars <= table.Text().size());
    for (auto [r, c] : {std::pair{rows, 0}, std::pair{0, cols}, std::pair{-1, 0}}) {
        bool thrown = false;
        try {
            (void)table.Cells(r, c);
        } catch (const std::out_of_range&) {
            thrown = true;
        }
        FUZZ_CHECK(thrown);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    static constexpr char kDelimiters[] = {';', ',', '\t', ' ', '|', '"', '\r', '\0'};
    static constexpr char kQuotes[] = {'"', '\'', '\0', ';'};
    const std::uint8_t options = input.TakeByte();
    TCSVData table;
    table.SetDelimiter(kDelimiters[options % 8]);
    table.SetQuoteChar(kQuotes[(options >> 3) % 4]);
    table.Parse(AnsiString(input.Rest()));
    CheckTable(table);

    // A copy keeps its table when the original is parsed again with other characters.
    const TCSVData copy = table;
    const int rows = copy.RowCount(), cols = copy.ColCount();
    table.SetDelimiter(kDelimiters[(options >> 5) % 8]);
    table.Reparse();
    CheckTable(table);
    FUZZ_CHECK(copy.RowCount() == rows && copy.ColCount() == cols);
    CheckTable(copy);
    return 0;
}
