#pragma once
#include <QWidget>

class Tfrm_budget;
class Table;
class TableModel;
class RadioGroup;
class CurrencyBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QTreeView;
class QFrame;

// The "Budget Items" page: the income or expense items in a grid, filtered by
// kind and optionally by one category chosen in the category trees; the
// item-total box; the current item's notes and reminders.
class ItemsPage : public QWidget
{
    Q_OBJECT
public:
    explicit ItemsPage(Tfrm_budget *window);

    // The filter rule of rgcat (also run once when the window is created).
    void applyCategoryFilter();
    // rg_items picked: kind filter, tree shown, tree-click rule, labels.
    void kindChosen();
    // Shows the income or the expense items, as picking them in rg_items does.
    void showKind(bool expense);
    // A click in a tree (only with rgcat "Yes" and a selected node).
    void treeClicked(QTreeView *tree);
    // The current row's amount in the frequency of cb_item_total_freq.
    void cb_item_total_freqChange();
    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();

    // Draws both trees from the plan's category-tree data.
    void drawTrees();

    QString kindLetter() const; // "I" or "E" from rg_items

    QTableView *grid() const { return m_grid; }
    QTreeView *visibleTree() const;

private:
    void buildLayout();
    void setItemsFilter(const QString &filter);
    void setCategoryColumnShown(bool shown);
    void showNotesAndCategory();

    Tfrm_budget *m_window;
    Table *m_items;

    RadioGroup *m_rgItems = nullptr;
    RadioGroup *m_rgCat = nullptr;
    RadioGroup *m_rgViewNotes = nullptr;
    QComboBox *m_totalFreq = nullptr;
    CurrencyBox *m_total = nullptr;
    QLineEdit *m_catDisplay = nullptr;
    QTreeView *m_tvInc = nullptr;
    QTreeView *m_tvExp = nullptr;
    QTableView *m_grid = nullptr;
    TableModel *m_model = nullptr;
    QFrame *m_notesPanel = nullptr;
    QPlainTextEdit *m_notes = nullptr;
    QTableView *m_reminderGrid = nullptr;
    TableModel *m_reminderModel = nullptr;
};
