#pragma once
#include <QObject>

class QTableView;
class Table;
class Tfrm_budget;

// The keys, double click and context menu of the items, savings and loans
// grids. They run the plan window's toolbar commands by clicking the buttons
// (Enter and a double click: Edit Item, the Enter key only when the page's
// table has rows; Insert: New Item; Delete: Delete Item); Home and End move to
// the first and last row of the page's table.
class GridCommands : public QObject
{
    Q_OBJECT
public:
    GridCommands(Tfrm_budget *window, QTableView *grid, Table *table);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clickToolButton(const char *name);

    Tfrm_budget *m_window;
    QTableView *m_grid;
    Table *m_table;
};
