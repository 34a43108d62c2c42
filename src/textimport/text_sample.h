// The first rows of the table as the wizard's parameters page shows them: each cell's text and
// whether the run reads it as a number.
#pragma once

#include "text/csv_data.h"

#include <vector>

class TTextSample {
public:
    struct TCell {
        AnsiString text;
        bool number = false;
    };

    static constexpr int kDefaultRows = 20;

    TTextSample() = default;
    // The first `maxRows` rows of the table, every cell with the run's number rule. Only these
    // rows' cells are copied; the table keeps the text.
    TTextSample(const TCSVData& table, int maxRows = kDefaultRows);

    [[nodiscard]] int RowCount() const { return static_cast<int>(m_rows.size()); }
    [[nodiscard]] int ColCount() const { return m_colCount; }
    // Throws std::out_of_range outside the sample.
    [[nodiscard]] const TCell& Cell(int row, int col) const;

private:
    std::vector<std::vector<TCell>> m_rows;
    int m_colCount = 0;
};
