// A two-column grid whose second column holds a choice made from a pick list: the column takes
// the rest of the grid's width, and a small arrow button inside the grid covers the right end
// of the selected row's second cell.
#pragma once

#include "ui/user_interaction.h"

#include <QTableWidget>

class QToolButton;

class TArrowGrid final : public QTableWidget {
public:
    // `buttonName` is the arrow button's object name.
    TArrowGrid(const QString& firstHeader, const QString& secondHeader, const char* buttonName,
               QWidget* parent = nullptr);

    QToolButton* ArrowButton() const { return m_button; }
    // Rows after the header, each with its two read-only cells (empty until written).
    void SetRowCountKeepingCells(int rows);
    void SetCellText(int row, int column, const QString& text);
    [[nodiscard]] QString CellText(int row, int column) const;
    // The row the arrow button belongs to; -1 without rows.
    [[nodiscard]] int SelectedRow() const;
    // Selects the row and puts the button on it.
    void SelectRow(int row);
    // The second cell of the row in global screen coordinates (where a pick list opens).
    [[nodiscard]] TScreenRect ChoiceCellRect(int row) const;
    // Places the button on the selected row's second cell (hidden without one).
    void PlaceButton();

    // Called when the button is pressed, Alt+Down or F4 is typed, or a second cell is
    // double-clicked, with the selected row.
    std::function<void(int row)> onChoose;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Choose();

    QToolButton* m_button;
};
