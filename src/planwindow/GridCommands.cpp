#include "GridCommands.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include "frm_budget.h"

#include "plan/Table.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

GridCommands::GridCommands(Tfrm_budget *window, QTableView *grid, Table *table)
    : QObject(grid), m_window(window), m_grid(grid), m_table(table)
{
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QTableView::doubleClicked, this, [this] { clickToolButton("obedititem"); });
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_window->popupItemsMenu(m_grid, pos); });
    grid->installEventFilter(this);
}

int GridCommands::headerWidth(QTableView *grid, int column)
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

int GridCommands::cellWidth(QTableView *grid, const QString &sample)
{
    if (sample.isEmpty())
        return 0;
    // The text and the cell's own margins on either side.
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return grid->fontMetrics().horizontalAdvance(sample) + 2 * margin + (grid->showGrid() ? 1 : 0);
}

void GridCommands::setColumnPixels(QTableView *grid, int column, int pixels, const QString &sample)
{
    if (column >= 0)
        grid->setColumnWidth(column, qMax(pixels, qMax(headerWidth(grid, column), cellWidth(grid, sample))));
}

void GridCommands::setColumnChars(QTableView *grid, int column, int characters)
{
    if (column >= 0)
        setColumnPixels(grid, column, characters * qMax(1, grid->fontMetrics().averageCharWidth()));
}

int GridCommands::screenWidth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

int GridCommands::widthBase()
{
    const int w = screenWidth();
    return w / 22 + w / 2;
}

void GridCommands::clickToolButton(const char *name)
{
    if (QToolButton *b = m_window->toolButton(QLatin1String(name)); b && b->isEnabled())
        b->click();
}

bool GridCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_table->isEmpty())
            clickToolButton("obedititem");
        return true;
    case Qt::Key_Insert:
        clickToolButton("obnewitem");
        return true;
    case Qt::Key_Delete:
        clickToolButton("obdeleteitem");
        return true;
    case Qt::Key_Home:
        if (!m_table->isEmpty())
            m_table->first();
        return true;
    case Qt::Key_End:
        if (!m_table->isEmpty())
            m_table->goTo(m_table->rowCount() - 1);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
