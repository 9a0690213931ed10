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

    // A column's width in characters of the grid's font.
    static void setColumnChars(QTableView *grid, int column, int characters);
    // A column `pixels` wide as laid out for an 8-point font, widened where
    // the font the grid really uses needs more for the header's text or for
    // `sample`, the widest content the column shows.
    static void setColumnPixels(QTableView *grid, int column, int pixels, const QString &sample = QString());
    // What the header's text and a sample of content need in the grid's font.
    static int headerWidth(QTableView *grid, int column);
    static int cellWidth(QTableView *grid, const QString &sample);
    // The screen width W and A = W div 22 + W div 2 the column widths are taken from.
    static int screenWidth();
    static int widthBase();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clickToolButton(const char *name);

    Tfrm_budget *m_window;
    QTableView *m_grid;
    Table *m_table;
};
