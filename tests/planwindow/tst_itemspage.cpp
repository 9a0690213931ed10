#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestWidgets.h"

#include "plan/PlanEdits.h"
#include "plan/Plan.h"
#include "planwindow/CategoryTreeModel.h"
#include "planwindow/GridCommands.h"
#include "planwindow/ItemsPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScopeGuard>
#include <QStyle>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>

// The items page: its four filter states, the trees, the item total, notes and
// the current item's reminders.
class TestItemsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_window;

    Tfrm_budget &w() { return *m_window; }
    void clickRadio(const char *group, int index)
    {
        QTest::mouseClick(child<RadioGroup>(m_window.get(), group)->button(index), Qt::LeftButton);
    }
    QStringList gridItems()
    {
        QStringList out;
        QAbstractItemModel *m = child<QTableView>(m_window.get(), "dbgincome")->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 1).data().toString();
        return out;
    }
    // The first node of `tree` showing `text`, a category or an item.
    static QModelIndex findNode(QTreeView *tree, const QString &text)
    {
        const QAbstractItemModel *m = tree->model();
        const auto found = m->match(m->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? QModelIndex() : found.front();
    }
    void clickNode(QTreeView *tree, const QString &text)
    {
        const QModelIndex node = findNode(tree, text);
        QVERIFY2(node.isValid(), qPrintable(text));
        if (node.parent().isValid())
            tree->expand(node.parent());
        tree->scrollTo(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    }
    void clickGridRow(int row)
    {
        auto *grid = child<QTableView>(m_window.get(), "dbgincome");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 1)).center());
    }
    QString itemTotal() { return child<QLineEdit>(m_window.get(), "ce_total")->text(); }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_window =
            openPlanWindow({.categories = {{"Work", "I"}, {"Gifts", "I"}, {"Car", "E"}, {"Food", "E"}, {"Mum's", "E"}},
                            .items = {{"Wage", "Monthly", 1000, "Work", "I", "paid on the 1st"},
                                      {"Bonus", "Yearly", 500, "Work", "I"},
                                      {"Tyres", "Weekly", 100, "Car", "E"},
                                      {"Bread", "Daily", 4.5, "Food", "E"},
                                      {"Cake", "Weekly", -12, "Mum's", "E", "a refund"}},
                            .reminders = {{"I", "Work", "Wage", 1, "check the payslip", 1},
                                          {"I", "Work", "Wage", 1, "check the payslip", 2},
                                          {"E", "Car", "Tyres", 5, "rotate", 6}}});
    }

    void cleanup()
    {
        m_window.reset();
        GUITEST_CLEANUP();
    }

    void filterStates_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("byCategory");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("categoryColumn");
        QTest::newRow("income, all") << 0 << 1 << "catid = 'I'" << QStringList{"Bonus", "Wage"} << true;
        QTest::newRow("income, first category") << 0 << 0 << "catid = 'I' and cat = 'Gifts'" << QStringList{} << false;
        QTest::newRow("expense, all") << 1 << 1 << "catid = 'E'" << QStringList{"Tyres", "Bread", "Cake"} << true;
        QTest::newRow("expense, first category")
            << 1 << 0 << "catid = 'E' and cat = 'Car'" << QStringList{"Tyres"} << false;
    }

    void filterStates()
    {
        QFETCH(int, kind);
        QFETCH(int, byCategory);
        QFETCH(QString, filter);
        QFETCH(QStringList, items);
        QFETCH(bool, categoryColumn);
        clickRadio("rg_items", kind);
        clickRadio("rgcat", byCategory);
        QCOMPARE(w().plan().items().filter(), filter);
        QVERIFY(w().plan().items().isFiltered());
        QCOMPARE(gridItems(), items);
        QCOMPARE(!child<QTableView>(m_window.get(), "dbgincome")->isColumnHidden(0), categoryColumn);
        QCOMPARE(w().pagekind(), kind == 0 ? QString("income") : QString("expense"));
        QCOMPARE(child<QTreeView>(m_window.get(), "tvcatinc")->isVisible(), kind == 0);
        QCOMPARE(child<QTreeView>(m_window.get(), "tvcatexp")->isVisible(), kind == 1);
        QCOMPARE(w().plan().categories().filter(), kind == 0 ? QString("catid = 'I'") : QString("catid = 'E'"));
    }

    void switchingKindKeepsCategoryFilterOnlyWithASelection()
    {
        clickRadio("rgcat", 0); // income tree: Gifts selected
        clickRadio("rg_items", 1);
        // The expense tree has no selected node: all expense items, column hidden.
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E'"));
        QVERIFY(child<QTableView>(m_window.get(), "dbgincome")->isColumnHidden(0));
        clickNode(child<QTreeView>(m_window.get(), "tvcatexp"), "Food");
        clickRadio("rg_items", 0);
        QCOMPARE(w().plan().items().filter(), QString("catid = 'I' and cat = 'Gifts'"));
        clickRadio("rg_items", 1);
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E' and cat = 'Food'"));
    }

    void treeClicks()
    {
        auto *tree = child<QTreeView>(m_window.get(), "tvcatexp");
        clickRadio("rg_items", 1);
        QCOMPARE(tree->model()->rowCount(), 3);
        // With rgcat "No" a click changes nothing.
        clickNode(tree, "Car");
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E'"));

        clickRadio("rgcat", 0);
        clickNode(tree, "Cake"); // an item node: its category, and its row
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E' and cat = 'Mum''s'"));
        QCOMPARE(w().plan().items().asString("item"), QString("Cake"));
        QCOMPARE(itemTotal(), QString("-$24.00"));
        QCOMPARE(child<QLineEdit>(m_window.get(), "dbecatdisplay")->text(), QString("Mum's"));

        clickNode(tree, "Food"); // a category node: only filters
        QCOMPARE(gridItems(), QStringList{"Bread"});
        QCOMPARE(itemTotal(), QString("$63.00"));
    }

    void itemTotalOfTheClickedRow()
    {
        clickGridRow(1); // Wage, 1000 a month, per fortnight: 459.9588
        QCOMPARE(w().plan().items().asString("item"), QString("Wage"));
        QCOMPARE(itemTotal(), QString("$459.96"));
    }

    void itemTotalFollowsTheCurrentItem()
    {
        auto *freq = child<QComboBox>(m_window.get(), "cb_item_total_freq");
        clickGridRow(0); // Bonus, 500 a year
        freq->setCurrentIndex(5);
        QCOMPARE(itemTotal(), QString("$499.99")); // through whole ten-thousandths a day
        freq->setCurrentIndex(3);
        QCOMPARE(itemTotal(), QString("$41.67"));
        QTest::keyClick(child<QTableView>(m_window.get(), "dbgincome"), Qt::Key_Down);
        QCOMPARE(w().plan().items().asString("item"), QString("Wage"));
        QCOMPARE(itemTotal(), QString("$1,000.00")); // 1000 a month

        // Another kind shown: the total is that of its first item, Tyres at
        // 100 a week: 14.2857 a day, 30.4375 days a month.
        clickRadio("rg_items", 1);
        QCOMPARE(w().plan().items().asString("item"), QString("Tyres"));
        QCOMPARE(itemTotal(), QString("$434.82"));
        QCOMPARE(w().plan().items().asString("catid"), QString("E"));
        clickRadio("rgcat", 0);
        clickNode(child<QTreeView>(m_window.get(), "tvcatexp"), "Car");
        w().plan().items().setFilter("catid = 'E' and cat = 'Nothing'");
        w().cb_item_total_freqChange();
        QCOMPARE(itemTotal(), QString()); // no row: zero, an empty box
    }

    // The green is the window's own background: it shows between the
    // controls and not in the empty part of a grid's header.
    void greenStaysInTheWindowBackground()
    {
        const QImage shot = m_window->grab().toImage();
        auto *frequency = child<RadioGroup>(m_window.get(), "RGFrequency");
        const QPoint between = frequency->mapTo(m_window.get(), QPoint(frequency->width() - 3, 3));
        QCOMPARE(shot.pixelColor(between), Tfrm_budget::backgroundColour());
        for (const char *name : {"dbgincome", "VolgaDBGrid1"}) {
            QHeaderView *header = child<QTableView>(m_window.get(), name)->horizontalHeader();
            QVERIFY2(header->length() + 10 < header->width(), name);
            const QPoint empty = header->mapTo(m_window.get(), QPoint(header->width() - 5, header->height() / 2));
            QVERIFY2(shot.pixelColor(empty) != Tfrm_budget::backgroundColour(), name);
        }
    }

    void gridHeadersFitTheirText_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("the desktop's font") << 0;
        QTest::newRow("a large font") << 16;
    }

    // Every header of the reminder grids shows its whole text in the font in
    // use ("Month" and "Day" were clipped), and no column is narrower than
    // laid out.
    void gridHeadersFitTheirText()
    {
        QFETCH(int, pointSize);
        const QFont before = QApplication::font();
        const auto restore = qScopeGuard([before] { QApplication::setFont(before); });
        if (pointSize > 0) {
            QFont big = before;
            big.setPointSize(pointSize);
            QApplication::setFont(big);
            m_window = std::make_unique<Tfrm_budget>(nullptr);
            m_window->resize(1000, 700);
            m_window->show();
        }
        const QList<std::pair<const char *, QList<int>>> grids = {{"VolgaDBGrid1", {272, 31, 37}},
                                                                  {"vdbg_r_budget", {123, 144, 50, 53, 432}}};
        for (const auto &[name, laidOut] : grids) {
            auto *grid = child<QTableView>(m_window.get(), name);
            const QFontMetrics metrics(grid->horizontalHeader()->font());
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                if (grid->isColumnHidden(c))
                    continue;
                const QString text = grid->model()->headerData(c, Qt::Horizontal).toString();
                const int margin =
                    grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid->horizontalHeader());
                QCOMPARE(metrics.elidedText(text, Qt::ElideRight, grid->columnWidth(c) - 2 * margin), text);
                const int visibleIndex = c - (name == QByteArray("vdbg_r_budget") ? 1 : 0); // cat_id hidden
                if (visibleIndex < laidOut.size())
                    QVERIFY(grid->columnWidth(c) >= laidOut.at(visibleIndex));
            }
        }
    }

    void notesAndReminders()
    {
        auto *notesPanel = child<QFrame>(m_window.get(), "pnl_notes");
        auto *notes = child<QPlainTextEdit>(m_window.get(), "DBNotes_Show");
        auto *reminders = child<QTableView>(m_window.get(), "VolgaDBGrid1");
        QVERIFY(notesPanel->isHidden());
        clickRadio("rg_viewnotes", 0);
        QVERIFY(notesPanel->isVisible());
        clickGridRow(1);
        QCOMPARE(notes->toPlainText(), QString("paid on the 1st"));
        QCOMPARE(reminders->model()->rowCount(), 2);
        QCOMPARE(reminders->model()->headerData(0, Qt::Horizontal).toString(), QString("Description"));
        clickGridRow(0);
        QCOMPARE(notes->toPlainText(), QString());
        QCOMPARE(reminders->model()->rowCount(), 0);
        clickRadio("rg_items", 1);
        QCOMPARE(w().plan().items().asString("item"), QString("Tyres"));
        QCOMPARE(reminders->model()->rowCount(), 1);
        clickRadio("rg_viewnotes", 1);
        QVERIFY(notesPanel->isHidden());
    }

    void homeAndEndKeys()
    {
        clickRadio("rg_items", 1);
        auto *grid = child<QTableView>(m_window.get(), "dbgincome");
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_End);
        QCOMPARE(w().plan().items().asString("item"), QString("Cake"));
        QCOMPARE(grid->currentIndex().row(), 2);
        QTest::keyClick(grid, Qt::Key_Home);
        QCOMPARE(w().plan().items().asString("item"), QString("Tyres"));
    }

    void treesDrawCategoriesWithTheirItems()
    {
        const QAbstractItemModel *inc = child<QTreeView>(m_window.get(), "tvcatinc")->model();
        QCOMPARE(inc->rowCount(), 2);
        QCOMPARE(inc->index(0, 0).data().toString(), QString("Gifts"));
        const QModelIndex work = inc->index(1, 0);
        QCOMPARE(work.data().toString(), QString("Work"));
        QCOMPARE(inc->rowCount(work), 2);
        QCOMPARE(inc->index(0, 0, work).data().toString(), QString("Bonus"));
        QVERIFY(!w().plan().categories().isFiltered()); // the rebuild leaves them unfiltered
    }

    // "Cat: item, item" for every category of a tree.
    static QStringList treeText(const QAbstractItemModel *m)
    {
        QStringList out;
        for (int i = 0; i < m->rowCount(); ++i) {
            const QModelIndex category = m->index(i, 0);
            QStringList items;
            for (int c = 0; c < m->rowCount(category); ++c)
                items << m->index(c, 0, category).data().toString();
            out << category.data().toString() + ": " + items.join(", ");
        }
        return out;
    }

    // The trees after the items change or a node is renamed in the tree: the
    // plan's categories with their items, every category closed and no node
    // current, as when the trees are drawn afresh.
    void treesFollowTheItems_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("cat");
        QTest::addColumn<QStringList>("expense");
        QTest::newRow("add to a category with items")
            << "add"
            << "Petrol"
            << "Car" << QStringList{"Car: Petrol, Tyres", "Food: Bread", "Mum's: Cake"};
        QTest::newRow("add after the last item")
            << "add"
            << "Wine"
            << "Food" << QStringList{"Car: Tyres", "Food: Bread, Wine", "Mum's: Cake"};
        QTest::newRow("delete the last item of a category")
            << "delete"
            << "Tyres"
            << "Car" << QStringList{"Car: ", "Food: Bread", "Mum's: Cake"};
        QTest::newRow("delete from the last category")
            << "delete"
            << "Cake"
            << "Mum's" << QStringList{"Car: Tyres", "Food: Bread", "Mum's: "};
        QTest::newRow("edit an item in place") << "edit"
                                               << "Bread"
                                               << "Food" << QStringList{"Car: Tyres", "Food: Loaf", "Mum's: Cake"};
        QTest::newRow("rename an item node") << "rename"
                                             << "Bread"
                                             << "Food" << QStringList{"Car: Tyres", "Food: Bread", "Mum's: Cake"};
        QTest::newRow("rename a category node") << "rename"
                                                << ""
                                                << "Food" << QStringList{"Car: Tyres", "Food: Bread", "Mum's: Cake"};
    }

    void treesFollowTheItems()
    {
        QFETCH(QString, action);
        QFETCH(QString, item);
        QFETCH(QString, cat);
        QFETCH(QStringList, expense);
        Plan &plan = w().plan();
        clickRadio("rg_items", 1);
        auto *tree = child<QTreeView>(m_window.get(), "tvcatexp");
        tree->expandAll();
        tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(1, 0)));

        if (action == "add") {
            QVERIFY(PlanEdits::addItem(
                        plan, {{"item", item}, {"cat", cat}, {"freq", "Weekly"}, {"amount", 1}, {"catid", "E"}})
                        .ok());
            w().rebuildCategoryTrees();
        } else if (action == "delete" || action == "edit") {
            Table &items = plan.items();
            for (int r = 0; r < items.rowCount(); ++r)
                if (items.visibleValue(r, 0).toString() == item)
                    items.goTo(r);
            QCOMPARE(items.asString("item"), item);
            if (action == "delete") {
                QVERIFY(PlanEdits::deleteItem(plan).ok());
                w().rebuildCategoryTrees();
            } else {
                items.edit();
                items.setValue("item", "Loaf");
                items.post();
                w().rebuildCategoryTrees();
            }
        } else {
            // Renamed as a person does it: F2 on the node, a new text, Enter.
            const QModelIndex node = findNode(tree, item.isEmpty() ? cat : item);
            QVERIFY(node.isValid());
            tree->setFocus();
            tree->setCurrentIndex(node);
            QTest::keyClick(tree, Qt::Key_F2);
            auto *editor = tree->viewport()->findChild<QLineEdit *>();
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, "Renamed");
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(node.data().toString(), QString("Renamed")); // committed once the key is handled
            w().activate();
        }
        QCOMPARE(treeText(tree->model()), expense);
        QCOMPARE(treeText(child<QTreeView>(m_window.get(), "tvcatinc")->model()),
                 (QStringList{"Gifts: ", "Work: Bonus, Wage"}));
        QVERIFY(!tree->currentIndex().isValid());
        for (int i = 0; i < tree->model()->rowCount(); ++i)
            QVERIFY(!tree->isExpanded(tree->model()->index(i, 0)));
    }

    // The model alone: drawn in place, a category without items gets some,
    // one loses all of its items and the others keep their nodes; once a node
    // is renamed the next drawing is afresh, with the plan's texts.
    void categoryModelDrawsInPlace()
    {
        CategoryTreeModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QList<CategoryNode> after = {{"Car", {"Petrol", "Tyres"}}, {"Food", {}}, {"Mum's", {"Cake"}}};
        QVERIFY(!model.draw({{"Car", {}}, {"Food", {"Bread", "Wine"}}, {"Mum's", {"Cake"}}}));
        const QPersistentModelIndex cake = model.index(0, 0, model.index(2, 0));
        QVERIFY(model.draw(after));
        QCOMPARE(treeText(&model), (QStringList{"Car: Petrol, Tyres", "Food: ", "Mum's: Cake"}));
        QCOMPARE(cake.data().toString(), QString("Cake"));

        QVERIFY(model.setData(cake, "Tart"));
        QCOMPARE(treeText(&model), (QStringList{"Car: Petrol, Tyres", "Food: ", "Mum's: Tart"}));
        QVERIFY(!model.draw(after));
        QCOMPARE(treeText(&model), (QStringList{"Car: Petrol, Tyres", "Food: ", "Mum's: Cake"}));
        QVERIFY(!cake.isValid());
    }
};

QTEST_MAIN(TestItemsPage)
#include "tst_itemspage.moc"
