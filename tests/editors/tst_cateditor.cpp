#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestWidgets.h"

#include "editors/frm_cats.h"
#include "plan/Plan.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>

#include <memory>

// The category administration driven as a user would: pick the kind and a
// category in the grid, type a name, press the buttons, answer the questions.
// A scenario's result is the plan's starting content with the lines that went
// and came (categories, items, reminders).
class TestCatEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_window;
    std::unique_ptr<Tfrm_cats> m_dialog;

    Plan &plan() { return m_window->plan(); }
    void click(const QString &button) { QTest::mouseClick(child<QPushButton>(m_dialog.get(), button), Qt::LeftButton); }

    void openDialog()
    {
        m_dialog = std::make_unique<Tfrm_cats>(m_window.get());
        QVERIFY(testModels<TableModel>(m_dialog.get()) > 0);
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

    void selectCategory(const QString &name)
    {
        auto *grid = child<QTableView>(m_dialog.get(), "VDBG_cats");
        const auto found = grid->model()->match(grid->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(found.front()).center());
        QCOMPARE(plan().categories().asString("cat"), name);
    }

    // Steps: "kind E", "sel Food", "type Groceries", "add", "edit", "undo",
    // "enter", "ok" (the next step shows an error), "del yes", "del no",
    // "item I/Groceries/Eggs" (an item put straight into the plan).
    void run(const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QString word = step.section(' ', 0, 0), rest = step.section(' ', 1);
            if (word == "kind")
                QTest::mouseClick(child<RadioGroup>(m_dialog.get(), "rgcat")->button(rest == "E"), Qt::LeftButton);
            else if (word == "sel")
                selectCategory(rest);
            else if (word == "type") {
                child<QLineEdit>(m_dialog.get(), "ebcatname")->clear();
                QTest::keyClicks(child<QLineEdit>(m_dialog.get(), "ebcatname"), rest);
            } else if (word == "enter")
                QTest::keyClick(child<QLineEdit>(m_dialog.get(), "ebcatname"), Qt::Key_Return);
            else if (word == "ok")
                MessageBox::queueAnswer(MessageBox::Answer::Ok);
            else if (word == "del") {
                if (!rest.isEmpty())
                    MessageBox::queueAnswer(rest == "yes" ? MessageBox::Answer::Yes : MessageBox::Answer::No);
                click("btn_cat_del");
            } else if (word == "item") {
                const QStringList f = rest.split('/');
                plan().items().appendRow({f[2], "Weekly", 1, f[1], f[0]});
            } else
                click("btn_cat_" + word);
        }
    }

    QStringList content()
    {
        QStringList out;
        const auto dump = [&out](const char *tag, const Table &t, QList<int> fields) {
            for (const Table::Row &r : t.allRows()) {
                QStringList line{tag};
                for (int f : fields)
                    line << r.at(f).toString();
                out << line.join('/');
            }
        };
        dump("cat", plan().categories(), {1, 0});
        dump("item", plan().items(), {4, 3, 0});
        dump("rem", plan().reminders(), {0, 1, 2, 5});
        out.sort();
        return out;
    }

    // What the plan window's grids show: filters, switches and the link.
    QStringList shownState()
    {
        Table &items = plan().items(), &rem = plan().reminders();
        return {items.filter(), QString::number(items.isFiltered()), rem.filter(), QString::number(rem.isFiltered()),
                QString::number(rem.isLinkActive())};
    }

    // The shown state after a scenario: an items filter on a category that
    // was renamed (its "cat/K/name" line gone, one "cat/K/..." line come) is
    // on the new name, so the items page goes on showing the same items.
    static QStringList followRename(QStringList shown, const QStringList &gone, const QStringList &came)
    {
        const QRegularExpression filter("^catid = '(.)' and cat = '(.*)'$");
        const QRegularExpressionMatch m = filter.match(shown.at(0));
        if (!m.hasMatch() || !gone.contains("cat/" + m.captured(1) + "/" + m.captured(2)))
            return shown;
        const QStringList renamed = came.filter(QRegularExpression("^cat/" + m.captured(1) + "/"));
        if (renamed.size() == 1)
            shown[0] = "catid = '" + m.captured(1) + "' and cat = '" + renamed.front().mid(6) + "'";
        return shown;
    }

    // Box texts, a duplicate-name error as "DUPLICATE".
    static QStringList shownBoxes()
    {
        QStringList out;
        for (const MessageBox::Shown &s : MessageBox::takeShown())
            out << (s.kind == MessageBox::Kind::Error && s.text.endsWith(" : Category Already Exists")
                            && !s.text.startsWith(" : ")
                        ? QString("DUPLICATE")
                        : s.text);
        return out;
    }

    QStringList tree(const char *name)
    {
        const QAbstractItemModel *t = child<QTreeView>(m_window.get(), name)->model();
        QStringList out;
        for (int i = 0; i < t->rowCount(); ++i)
            out << t->index(i, 0).data().toString();
        return out;
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_window =
            openPlanWindow({.categories = {{"Food", "I"}, {"Work", "I"}, {"Food", "E"}, {"Mum's", "E"}, {"Car", "E"}},
                            .items = {{"Allotment", "Weekly", 1, "Food", "I"},
                                      {"Eggs", "Weekly", 1, "Food", "I"},
                                      {"Veg box", "Weekly", 1, "Food", "I"},
                                      {"Wage", "Weekly", 1, "Work", "I"},
                                      {"Bread", "Weekly", 1, "Food", "E"},
                                      {"Cake", "Weekly", 1, "Mum's", "E"}},
                            .reminders = {{"I", "Food", "Eggs", 1, "pay", 3},
                                          {"I", "Food", "Veg box", 1, "pay", 4},
                                          {"I", "Work", "Wage", 1, "pay", 1},
                                          {"E", "Food", "Bread", 1, "pay", 6},
                                          {"E", "Mum's", "Cake", 1, "pay", 7}}});
        Plan &p = plan();
        // The plan window shows one income category; reminders follow the item.
        p.items().setFilter(categoryFilter(Kind::Income, "Work"));
        p.items().setFiltered(true);
        QVERIFY(p.reminders().isLinkActive());
        p.setSaved(true);
        openDialog();
    }

    void cleanup()
    {
        m_dialog.reset();
        m_window.reset();
        GUITEST_CLEANUP();
    }

    void scenario_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<QStringList>("came");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("saved");
        using L = QStringList;
        const L no;
        const L food{"cat/I/Food",          "item/I/Food/Allotment", "item/I/Food/Eggs",
                     "item/I/Food/Veg box", "rem/I/Food/Eggs/3",     "rem/I/Food/Veg box/4"};
        const L groceries{"cat/I/Groceries",          "item/I/Groceries/Allotment", "item/I/Groceries/Eggs",
                          "item/I/Groceries/Veg box", "rem/I/Groceries/Eggs/3",     "rem/I/Groceries/Veg box/4"};
        const L mums{"cat/E/Mum's", "item/E/Mum's/Cake", "rem/E/Mum's/Cake/7"};
        const QString askFood = "This action will delete all Income Items associated with the category :\r"
                                "Food\rDo you wish to continue?";
        const QString askMums = "This action will delete all Expense Items associated with the category -\r"
                                "\"Mum's\"\rDo you wish to continue?";

        QTest::newRow("add income twice")
            << L{"type Pay", "add", "type Pay", "ok", "add"} << no << L{"cat/I/Pay"} << L{"DUPLICATE"} << false;
        QTest::newRow("add as income and expense")
            << L{"type Pay", "add", "kind E", "type Pay", "add"} << no << L{"cat/E/Pay", "cat/I/Pay"} << no << false;
        QTest::newRow("Enter adds") << L{"sel Food", "type Gifts", "enter"} << no << L{"cat/I/Gifts"} << no << false;
        QTest::newRow("Enter, existing") << L{"sel Food", "type Work", "ok", "enter"} << no << no << L{"DUPLICATE"}
                                         << false;
        QTest::newRow("empty name box") << L{"sel Food", "add", "edit"} << no << no << no << true;

        QTest::newRow("rename income Food")
            << L{"sel Food", "type Groceries", "edit"} << food << groceries << no << false;
        QTest::newRow("rename to existing")
            << L{"sel Food", "type Work", "ok", "edit"} << no << no << L{"DUPLICATE"} << false;
        QTest::newRow("rename Mum's") << L{"kind E", "sel Mum's", "type Mum's Place", "edit"} << mums
                                      << L{"cat/E/Mum's Place", "item/E/Mum's Place/Cake", "rem/E/Mum's Place/Cake/7"}
                                      << no << false;
        QTest::newRow("rename, name cut to 20")
            << L{"sel Work", "type Wages and salaries paid", "edit"}
            << L{"cat/I/Work", "item/I/Work/Wage", "rem/I/Work/Wage/1"}
            << L{"cat/I/Wages and salaries p", "item/I/Wages and salaries p/Wage", "rem/I/Wages and salaries p/Wage/1"}
            << no << false;
        // The item already filed under the new name keeps its place; its
        // namesake stays under the former name rather than be lost.
        QTest::newRow("rename onto an existing item")
            << L{"item I/Groceries/Eggs", "sel Food", "type Groceries", "edit"}
            << L{food[0], food[1], food[3], food[4], food[5]} << groceries << no << false;

        QTest::newRow("undo") << L{"sel Food", "type Groceries", "edit", "undo"} << no << no << no << false;
        QTest::newRow("undo twice") << L{"sel Food", "type Groceries", "edit", "undo", "type Groceries", "add", "undo"}
                                    << no << L{"cat/I/Groceries"} << no << false;
        QTest::newRow("undo, name cut to 20")
            << L{"sel Work", "type Wages and salaries paid", "edit", "undo"} << no << no << no << false;
        QTest::newRow("undo, other kind shown")
            << L{"sel Food", "type Groceries", "edit", "kind E", "undo"} << no << no << no << false;
        QTest::newRow("undo, old name taken")
            << L{"sel Food", "type Groceries", "edit", "type Food", "add", "ok", "undo"} << food.mid(1) << groceries
            << L{"DUPLICATE"} << false;
        QTest::newRow("undo, category deleted") << L{"kind E", "sel Mum's", "type Gran", "edit", "del yes", "undo"}
                                                << mums << no << L{QString(askMums).replace("Mum's", "Gran")} << false;
        QTest::newRow("undo without rename") << L{"undo"} << no << no << no << true;

        QTest::newRow("delete income Food") << L{"sel Food", "del yes"} << food << no << L{askFood} << false;
        QTest::newRow("delete answered No") << L{"sel Food", "del no"} << no << no << L{askFood} << false;
        QTest::newRow("delete expense Mum's")
            << L{"kind E", "sel Mum's", "del yes"} << mums << no << L{askMums} << false;
    }

    void scenario()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, gone);
        QFETCH(QStringList, came);
        QFETCH(QStringList, boxes);
        QStringList expected = content();
        const QStringList shown = shownState();
        run(steps);
        for (const QString &line : gone)
            QVERIFY2(expected.removeOne(line), qPrintable(line));
        expected << came;
        expected.sort();
        QCOMPARE(content(), expected);
        QCOMPARE(shownBoxes(), boxes);
        QTEST(m_window->saved(), "saved");
        QCOMPARE(shownState(), followRename(shown, gone, came));
    }

    void nameStaysAfterRefusedAdd()
    {
        run({"type Work", "ok", "add"});
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"There is already an income category \"Work\" : Category Already Exists"});
        QCOMPARE(child<QLineEdit>(m_dialog.get(), "ebcatname")->text(), QString("Work"));
    }

    void emptyKindHasNoCurrentCategory()
    {
        run({"kind E", "sel Car", "del yes", "sel Food", "del yes", "sel Mum's", "del yes"});
        MessageBox::takeShown();
        plan().setSaved(true);
        const QStringList before = content();
        run({"type Anything", "edit", "del"}); // no question, no change
        QCOMPARE(content(), before);
        QVERIFY(m_window->saved());
    }

    void closeRestoresFilterAndTrees_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Close") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("window closed") << 2;
    }

    void closeRestoresFilterAndTrees()
    {
        QFETCH(int, how);
        const QString remembered = categoryFilter(Kind::Expense, "Mum's");
        m_dialog.reset();
        plan().categories().setFilter(remembered);
        openDialog();
        run({"sel Food", "type Groceries", "edit", "kind E", "sel Mum's", "type Mum's Place", "edit"});
        if (how == 0)
            click("btn_close");
        else if (how == 1)
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        else
            m_dialog->close();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(plan().categories().filter(), remembered);
        QCOMPARE(tree("tvcatinc"), (QStringList{"Groceries", "Work"}));
        QCOMPARE(tree("tvcatexp"), (QStringList{"Car", "Food", "Mum's Place"}));
    }
};

QTEST_MAIN(TestCatEditor)
#include "tst_cateditor.moc"
