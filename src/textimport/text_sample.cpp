// The table's sample rows.
#include "textimport/text_sample.h"

#include "textimport/text_import_run.h"

#include <algorithm>

TTextSample::TTextSample(const TCSVData& table, int maxRows) : m_colCount(table.ColCount()) {
    const int rows = std::clamp(table.RowCount(), 0, std::max(0, maxRows));
    m_rows.resize(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        std::vector<TCell>& cells = m_rows[static_cast<std::size_t>(row)];
        cells.reserve(static_cast<std::size_t>(m_colCount));
        for (int col = 0; col < m_colCount; ++col) {
            const std::string_view text = table.Cells(row, col);
            cells.push_back({AnsiString(text), TTextImportRun::ParseNumber(text).has_value()});
        }
    }
}

const TTextSample::TCell& TTextSample::Cell(int row, int col) const {
    return m_rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col));
}
