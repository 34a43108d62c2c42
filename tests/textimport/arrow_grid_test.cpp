// The choice grid's arrow button sits at the right end of the selected row's second cell,
// wherever the grid's layout leaves that cell.
#include "textimport/gui/arrow_grid.h"

#include <QApplication>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

TEST(ArrowGrid, ButtonFollowsTheStretchedCellsRightEdge) {
    QWidget window;
    auto* grid = new TArrowGrid(QStringLiteral("Value"), QStringLiteral("Style"), "Arrow");
    (new QVBoxLayout(&window))->addWidget(grid);
    grid->SetRowCountKeepingCells(3);
    grid->SelectRow(1); // before the grid has its size, as a wizard page does
    for (const QSize size : {QSize(600, 300), QSize(420, 260), QSize(800, 300)}) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        window.show();
        QApplication::processEvents();
        const QRect cell = grid->visualRect(grid->model()->index(1, 1));
        const QRect button = grid->ArrowButton()->geometry();
        EXPECT_TRUE(grid->ArrowButton()->isVisible());
        EXPECT_EQ(button.right(), cell.right());
        EXPECT_EQ(button.top(), cell.top());
        EXPECT_EQ(button.height(), cell.height());
        // The second column takes the rest of the width (less the grid line).
        EXPECT_GE(cell.right(), grid->viewport()->width() - 2);
    }
}

} // namespace
