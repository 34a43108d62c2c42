#include "textimport/gui/arrow_grid.h"

#include "ui/gui/screen_scale.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QToolButton>

TArrowGrid::TArrowGrid(const QString& firstHeader, const QString& secondHeader,
                       const char* buttonName, QWidget* parent)
    : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({firstHeader, secondHeader});
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + ScreenScaled(6, this));
    // The second column takes whatever the first leaves of the client width.
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(ScreenScaled(60, this));
    setColumnWidth(0, ScreenScaled(150, this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    // The selected row stays marked when the focus goes to the arrow button or a pick list.
    QPalette colors = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colors.setColor(QPalette::Inactive, role, colors.color(QPalette::Active, role));
    setPalette(colors);

    m_button = new QToolButton(viewport());
    m_button->setObjectName(QString::fromLatin1(buttonName));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->hide();

    connect(m_button, &QToolButton::clicked, this, [this] { Choose(); });
    connect(this, &QTableWidget::currentCellChanged, this, [this] { PlaceButton(); });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == 1 && row == SelectedRow())
            Choose();
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceButton(); });
}

void TArrowGrid::SetRowCountKeepingCells(int rows) {
    setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 2; ++column)
            if (!item(row, column)) {
                auto* cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                setItem(row, column, cell);
            }
    PlaceButton();
}

void TArrowGrid::SetCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

QString TArrowGrid::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

int TArrowGrid::SelectedRow() const {
    if (rowCount() == 0)
        return -1;
    const int row = currentRow();
    return row >= 0 && row < rowCount() ? row : 0;
}

void TArrowGrid::SelectRow(int row) {
    if (row >= 0 && row < rowCount())
        setCurrentCell(row, 1);
    PlaceButton();
}

TScreenRect TArrowGrid::ChoiceCellRect(int row) const {
    const QRect cell = visualRect(model()->index(row, 1));
    const QPoint topLeft = viewport()->mapToGlobal(cell.topLeft());
    return {topLeft.x(), topLeft.y(), cell.width(), cell.height()};
}

void TArrowGrid::PlaceButton() {
    const int row = SelectedRow();
    if (row < 0) {
        m_button->hide();
        return;
    }
    const QRect cell = visualRect(model()->index(row, 1));
    if (!cell.isValid() || !viewport()->rect().intersects(cell)) {
        m_button->hide();
        return;
    }
    const int width =
        std::min(cell.width(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    m_button->setGeometry(cell.right() + 1 - width, cell.top(), width, cell.height());
    m_button->show();
    m_button->raise();
}

void TArrowGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    PlaceButton();
}

// When the grid is first shown, the header lays out its sections (the second column stretched)
// after the grid's own resize: the button follows the cell to its final place.
void TArrowGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    PlaceButton();
}

void TArrowGrid::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    PlaceButton();
}

void TArrowGrid::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (altDown || event->key() == Qt::Key_F4) {
        Choose();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TArrowGrid::Choose() {
    const int row = SelectedRow();
    if (row >= 0 && m_button->isEnabled() && onChoose)
        onChoose(row);
}
