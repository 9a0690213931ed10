#include "GridCommands.h"

#include "frm_budget.h"

#include "plan/Table.h"

#include <QKeyEvent>
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
    case Qt::Key_Insert: clickToolButton("obnewitem"); return true;
    case Qt::Key_Delete: clickToolButton("obdeleteitem"); return true;
    case Qt::Key_Home:
        if (!m_table->isEmpty())
            m_table->first();
        return true;
    case Qt::Key_End:
        if (!m_table->isEmpty())
            m_table->goTo(m_table->rowCount() - 1);
        return true;
    default: return QObject::eventFilter(watched, event);
    }
}
