#include "GridColumns.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>

namespace GridColumns {

int headerWidth(QTableView *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    if (!grid->model())
        return 0;
    QStyleOptionHeader option;
    option.initFrom(header);
    option.section = column;
    option.text = grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    option.fontMetrics = header->fontMetrics();
    // The style's size, and never less than the text with the header's
    // margin on both sides, which is where the header draws it.
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
    const int text = option.fontMetrics.horizontalAdvance(option.text) + 2 * margin + 2;
    return qMax(text, header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width());
}

int cellWidth(QTableView *grid, const QString &sample)
{
    if (sample.isEmpty())
        return 0;
    // The text and the cell's own margins on either side.
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->fontMetrics().horizontalAdvance(sample) + 2 * margin + (grid->showGrid() ? 1 : 0);
}

void setColumnPixels(QTableView *grid, int column, int pixels, const QString &sample)
{
    if (column >= 0)
        grid->setColumnWidth(column, qMax(pixels, qMax(headerWidth(grid, column), cellWidth(grid, sample))));
}

void setColumnChars(QTableView *grid, int column, int characters)
{
    if (column >= 0)
        setColumnPixels(grid, column, characters * qMax(1, grid->fontMetrics().averageCharWidth()));
}

int screenWidth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

int widthBase()
{
    const int w = screenWidth();
    return w / 22 + w / 2;
}

} // namespace GridColumns
