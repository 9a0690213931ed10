#include "ItemsPage.h"
#include "CategoryTreeModel.h"
#include "GridCommands.h"
#include "frm_budget.h"

#include "plan/CategoryTree.h"
#include "plan/PageKind.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "widgets/GridColumns.h"
#include "widgets/FlowLayout.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/RadioGroup.h"
#include "widgets/TableModel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

ItemsPage::ItemsPage(Tfrm_budget *window) : QWidget(window), m_window(window), m_items(&window->plan().items())
{
    setObjectName(QStringLiteral("ts_items"));
    buildLayout();

    Plan &plan = window->plan();
    m_model = new TableModel(m_items, {{"cat", {}, {}}, {"item", {}, {}}, {"freq", {}, {}}, {"amount", {}, {}}}, this);
    m_model->bindView(m_grid);
    GridColumns::setColumnPixels(m_grid, 1, 166);
    m_reminderModel = new TableModel(&plan.reminders(), {{"desc", {}, {}}, {"dom", {}, {}}, {"month", {}, {}}}, this);
    m_reminderModel->bindView(m_reminderGrid);
    GridColumns::setColumnPixels(m_reminderGrid, 0, 272);
    GridColumns::setColumnPixels(m_reminderGrid, 1, 31, QStringLiteral("31"));
    GridColumns::setColumnPixels(m_reminderGrid, 2, 37, QStringLiteral("12"));

    // On this page the reminders follow the current item.
    plan.reminders().setFiltered(false);
    plan.reminders().setLinkActive(true);

    connect(m_items, &Table::currentRowChanged, this, &ItemsPage::showNotesAndCategory);
    connect(m_items, &Table::rowChanged, this, &ItemsPage::showNotesAndCategory);
    connect(m_items, &Table::visibleRowsReset, this, &ItemsPage::showNotesAndCategory);
    connect(&plan, &Plan::categoryTreesChanged, this, &ItemsPage::drawTrees);

    connect(m_rgItems, &RadioGroup::clicked, this, &ItemsPage::kindChosen);
    connect(m_rgCat, &RadioGroup::clicked, this, &ItemsPage::applyCategoryFilter);
    connect(m_rgViewNotes, &RadioGroup::clicked, this, [this](int index) { m_notesPanel->setVisible(index == 0); });
    connect(m_totalFreq, &QComboBox::currentIndexChanged, this, &ItemsPage::cb_item_total_freqChange);
    connect(m_tvInc, &QTreeView::clicked, this, [this] { treeClicked(m_tvInc); });
    connect(m_tvExp, &QTreeView::clicked, this, [this] { treeClicked(m_tvExp); });
    connect(m_grid, &QTableView::clicked, this, &ItemsPage::cb_item_total_freqChange);
    new GridCommands(m_window, m_grid, m_items);
    showNotesAndCategory();
}

void ItemsPage::buildLayout()
{
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(2);

    // Top strip: the four groups keep their whole width and wrap onto a
    // second row in a narrow window.
    auto *strip = new QWidget(this);
    auto *top = new FlowLayout(strip, 6);
    top->setContentsMargins(0, 0, 0, 0);
    m_rgItems = new RadioGroup(QStringLiteral("rg_items"), QStringLiteral("Items :"), {"Income", "Expense"}, 2, this);
    m_rgItems->setItemIndex(0);
    m_rgItems->setToolTip(QStringLiteral("Click To Select Income or Expense Items"));
    m_rgCat = new RadioGroup(QStringLiteral("rgcat"), QStringLiteral("Filter By Catalog :"), {"Yes", "No"}, 2, this);
    m_rgCat->setItemIndex(1);
    m_rgCat->setToolTip(QStringLiteral("Select Yes To Filter Budget Items By Category"));
    m_rgViewNotes =
        new RadioGroup(QStringLiteral("rg_viewnotes"), QStringLiteral("View Notes :"), {"Yes", "No"}, 2, this);
    m_rgViewNotes->setItemIndex(1);
    m_rgViewNotes->setToolTip(QStringLiteral("Select Yes To Display Budget Item Notes"));
    auto *totalBox = new QGroupBox(QStringLiteral("Item Total Per :"), this);
    auto *totalLayout = new QHBoxLayout(totalBox);
    totalLayout->setContentsMargins(6, 2, 6, 2);
    m_totalFreq = new QComboBox(totalBox);
    m_totalFreq->setObjectName(QStringLiteral("cb_item_total_freq"));
    m_totalFreq->addItems(Frequency::names());
    m_totalFreq->setCurrentIndex(2);
    m_totalFreq->setEditable(false);
    m_totalFreq->setToolTip(QStringLiteral("Select  A Frequency For The Selected Item"));
    m_total = new CurrencyBox(QStringLiteral("ce_total"), totalBox);
    m_total->setReadOnly(true);
    m_total->setToolTip(QStringLiteral("The Frequency Total For The Selected Item"));
    totalLayout->addWidget(m_totalFreq);
    totalLayout->addWidget(m_total);
    top->addWidget(m_rgItems);
    top->addWidget(m_rgCat);
    top->addWidget(m_rgViewNotes);
    top->addWidget(totalBox);
    page->addWidget(strip);

    // Centre grid and right column.
    auto *middle = new QHBoxLayout;
    m_grid = Controls::dataGrid(QStringLiteral("dbgincome"), this);
    m_grid->setToolTip(QStringLiteral("Budget Plan Items"));
    m_grid->setAccessibleName(QStringLiteral("Budget Plan Items"));
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    middle->addWidget(m_grid, 1);

    auto *right = new QWidget(this);
    right->setFixedWidth(185);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto *categoryLabel = new QLabel(QStringLiteral("Category :"), right);
    rightLayout->addWidget(categoryLabel);
    m_catDisplay = new QLineEdit(right);
    categoryLabel->setBuddy(m_catDisplay);
    m_catDisplay->setObjectName(QStringLiteral("dbecatdisplay"));
    m_catDisplay->setReadOnly(true);
    m_catDisplay->setMaxLength(21);
    m_catDisplay->setToolTip(QStringLiteral("Currently Selected Category"));
    rightLayout->addWidget(m_catDisplay);
    m_tvInc = new QTreeView(right);
    m_tvInc->setObjectName(QStringLiteral("tvcatinc"));
    m_tvInc->setModel(new CategoryTreeModel(m_tvInc));
    m_tvInc->setHeaderHidden(true);
    m_tvInc->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tvInc->setToolTip(QStringLiteral("Click To Select A Income Category"));
    m_tvInc->setAccessibleName(QStringLiteral("Income Categories"));
    m_tvExp = new QTreeView(right);
    m_tvExp->setObjectName(QStringLiteral("tvcatexp"));
    m_tvExp->setModel(new CategoryTreeModel(m_tvExp));
    m_tvExp->setHeaderHidden(true);
    m_tvExp->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_tvExp->setToolTip(QStringLiteral("Click To Select An Expense Category"));
    m_tvExp->setAccessibleName(QStringLiteral("Expense Categories"));
    m_tvExp->hide();
    rightLayout->addWidget(m_tvInc, 1);
    rightLayout->addWidget(m_tvExp, 1);
    middle->addWidget(right);
    page->addLayout(middle, 1);

    // Bottom strip: notes and the current item's reminders.
    auto *bottom = new QHBoxLayout;
    m_notesPanel = new QFrame(this);
    m_notesPanel->setObjectName(QStringLiteral("pnl_notes"));
    m_notesPanel->setFixedWidth(239);
    auto *notesLayout = new QVBoxLayout(m_notesPanel);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    m_notes = new QPlainTextEdit(m_notesPanel);
    m_notes->setObjectName(QStringLiteral("DBNotes_Show"));
    m_notes->setReadOnly(true);
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_notes->setToolTip(QStringLiteral("Note / Comments For The Selected Budget Item"));
    m_notes->setAccessibleName(QStringLiteral("Notes"));
    notesLayout->addWidget(m_notes);
    m_notesPanel->hide();
    m_reminderGrid = Controls::dataGrid(QStringLiteral("VolgaDBGrid1"), this);
    m_reminderGrid->setToolTip(QStringLiteral("Selected Budget Item Reminders"));
    m_reminderGrid->setAccessibleName(QStringLiteral("Selected Budget Item Reminders"));
    bottom->addWidget(m_notesPanel);
    bottom->addWidget(m_reminderGrid, 1);
    auto *bottomHost = new QWidget(this);
    bottomHost->setFixedHeight(69);
    bottomHost->setLayout(bottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    page->addWidget(bottomHost);
}

QString ItemsPage::kindLetter() const
{
    return m_rgItems->itemIndex() == 1 ? Kind::Expense : Kind::Income;
}

QTreeView *ItemsPage::visibleTree() const
{
    return kindLetter() == Kind::Expense ? m_tvExp : m_tvInc;
}

void ItemsPage::setItemsFilter(const QString &filter)
{
    m_items->setFilter(filter);
    m_items->setFiltered(true);
}

void ItemsPage::setCategoryColumnShown(bool shown)
{
    m_grid->setColumnHidden(m_model->columnOf("cat"), !shown);
    adjustcolwidths();
}

void ItemsPage::applyCategoryFilter()
{
    const QString kind = kindLetter();
    if (m_rgCat->itemIndex() == 0) {
        QTreeView *tree = visibleTree();
        tree->expandAll();
        if (const QModelIndex first = tree->model()->index(0, 0); first.isValid()) {
            tree->setCurrentIndex(first);
            setItemsFilter(categoryFilter(kind, first.data().toString()));
        } else {
            // No category to narrow on: the whole kind stays shown.
            setItemsFilter(kindFilter(kind));
        }
        setCategoryColumnShown(false);
    } else {
        setItemsFilter(kindFilter(kind));
        setCategoryColumnShown(true);
    }
}

void ItemsPage::kindChosen()
{
    const bool expense = m_rgItems->itemIndex() == 1;
    m_window->setPagekind(expense ? PageKind::Expense : PageKind::Income);
    const QString kind = kindLetter();
    Plan &plan = m_window->plan();
    plan.categories().setFilter(kindFilter(kind));
    plan.categories().setFiltered(true);
    setItemsFilter(kindFilter(kind));
    m_tvInc->setVisible(!expense);
    m_tvExp->setVisible(expense);
    treeClicked(visibleTree());
    m_window->update_labels();
    m_grid->setFocus();
}

void ItemsPage::showKind(bool expense)
{
    if ((m_rgItems->itemIndex() == 1) == expense)
        return;
    m_rgItems->setItemIndex(expense ? 1 : 0);
    kindChosen();
}

void ItemsPage::treeClicked(QTreeView *tree)
{
    const QModelIndex node = tree->currentIndex();
    if (m_rgCat->itemIndex() != 0 || !node.isValid())
        return;
    const QString kind = tree == m_tvExp ? Kind::Expense : Kind::Income;
    if (const QModelIndex parent = node.parent(); parent.isValid()) {
        setItemsFilter(categoryFilter(kind, parent.data().toString()));
        if (!m_items->isEmpty()) {
            const QString item = node.data().toString();
            m_items->first();
            while (m_items->asString("item") != item) {
                m_items->next();
                if (m_items->atEnd())
                    break;
            }
        }
    } else {
        setItemsFilter(categoryFilter(kind, node.data().toString()));
    }
    cb_item_total_freqChange();
}

void ItemsPage::cb_item_total_freqChange()
{
    if (m_items->isEmpty()) {
        m_total->setValue(0);
        return;
    }
    m_total->setValue(
        Frequency::convert(m_items->asMoney("amount"), m_items->asString("freq"), m_totalFreq->currentText()));
}

void ItemsPage::pageShown()
{
    Table &reminders = m_window->plan().reminders();
    reminders.setFiltered(false);
    reminders.setLinkActive(true);
    m_window->setPagekind(m_rgItems->itemIndex() == 1 ? PageKind::Expense : PageKind::Income);
}

namespace {

// The tree shows `nodes` as a fresh drawing would: every category closed,
// no node current. Its model resets itself unless it can update only the
// categories whose items changed; the tree then closes every category and
// forgets its current node itself.
void drawTree(QTreeView *tree, const QList<CategoryNode> &nodes)
{
    if (static_cast<CategoryTreeModel *>(tree->model())->draw(nodes)) {
        tree->collapseAll();
        tree->selectionModel()->reset();
        tree->viewport()->update();
    }
}

} // namespace

void ItemsPage::drawTrees()
{
    const CategoryTrees &trees = m_window->plan().categoryTrees();
    drawTree(m_tvInc, trees.income);
    drawTree(m_tvExp, trees.expense);
}

// Follows the current item, whatever moved it: the category, the notes and
// the item total.
void ItemsPage::showNotesAndCategory()
{
    cb_item_total_freqChange();
    if (m_items->isEmpty()) {
        m_catDisplay->clear();
        m_notes->clear();
        return;
    }
    m_catDisplay->setText(m_items->asString("cat"));
    const QString notes = m_items->asString("notes");
    if (m_notes->toPlainText() != notes)
        m_notes->setPlainText(notes);
}

void ItemsPage::adjustcolwidths()
{
    const int W = GridColumns::screenWidth();
    const int A = GridColumns::widthBase();
    const bool catShown = !m_grid->isColumnHidden(m_model->columnOf("cat"));
    GridColumns::setColumnChars(m_grid, m_model->columnOf("item"), catShown ? A / 12 : A / 8);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("freq"), W / 54);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("amount"), W / 54);
}
