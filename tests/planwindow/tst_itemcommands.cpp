#include "GuiTestSupport.h"
#include "SamplePlans.h"

#include "plan/Plan.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTabWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

// The plan window's toolbar commands on the items page.
class TestItemCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_window;

    Tfrm_budget &w() { return *m_window; }
    void click(const char *button) { w().toolButton(QLatin1String(button))->click(); }
    void clickRadio(const char *group, int index)
    {
        QTest::mouseClick(w().findChild<RadioGroup *>(QLatin1String(group))->button(index), Qt::LeftButton);
    }
    int rowsOfKind(const Table &t, const QString &field, const QString &letter)
    {
        int n = 0;
        const int f = t.fieldIndex(field);
        for (const auto &row : t.allRows())
            n += row.at(f).toString() == letter;
        return n;
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_window = openPlanWindow({.categories = {{"Work", "I"}, {"Car", "E"}, {"Food", "E"}},
                                   .items = {{"Wage", "Monthly", 1000, "Work", "I"},
                                             {"Tyres", "Yearly", 400, "Car", "E"},
                                             {"Petrol", "Weekly", 60, "Car", "E"},
                                             {"Bread", "Daily", 4, "Food", "E"}},
                                   .reminders = {{"E", "Car", "Tyres", 1, "rotate", 3},
                                                 {"E", "Car", "Tyres", 1, "replace", 9},
                                                 {"I", "Work", "Wage", 1, "payslip", 1}}});
    }

    void cleanup()
    {
        m_window.reset();
        GUITEST_CLEANUP();
    }

    void newItemNeedsACategoryOfTheKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("income") << 0 << "Please enter income categories";
        QTest::newRow("expense") << 1 << "Please enter expense categories";
    }

    void newItemNeedsACategoryOfTheKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        w().plan().categories().setAllRows({});
        clickRadio("rg_items", kind);
        bool opened = false;
        ModalRunner::setHook([&](QDialog *) { opened = true; });
        for (const char *button : {"obnewitem", "obedititem"}) {
            MessageBox::queueAnswer(MessageBox::Answer::Ok);
            click(button);
            const auto shown = MessageBox::takeShown();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.front().kind, MessageBox::Kind::Information);
            QCOMPARE(shown.front().text, message);
        }
        QVERIFY(!opened);
    }

    void newAndEditItemOpenTheEditorWithTheirMode()
    {
        QStringList seen;
        ModalRunner::setHook([&](QDialog *d) {
            seen << d->objectName() + ":" + w().editmode() + ":" + w().plan().categories().filter();
            d->reject();
        });
        w().setDisplayFrequency(5);
        clickRadio("rg_items", 1);
        click("obnewitem");
        QCOMPARE(w().displayFrequencyName(), QString("Fortnightly")); // New Item resets it
        w().plan().items().goTo(2);
        click("obedititem");
        QCOMPARE(w().plan().items().currentRow(), 2); // back on the row it was on
        // Edit on an empty list is a new item.
        w().plan().items().setFilter("catid = 'E' and cat = 'None'");
        click("obedititem");
        QCOMPARE(seen,
                 QStringList({"frm_items:new:catid='E'", "frm_items:edit:catid = 'E'", "frm_items:new:catid = 'E'"}));
    }

    void deleteItemTakesItsReminders()
    {
        clickRadio("rg_items", 1); // expense: Petrol, Tyres, Bread
        Table &items = w().plan().items();
        items.goTo(1); // Tyres, with two reminders
        QCOMPARE(items.asString("item"), QString("Tyres"));
        MessageBox::queueAnswer(MessageBox::Answer::No);
        click("obdeleteitem");
        const auto asked = MessageBox::takeShown();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.front().text, QString("Are you sure you want to delete : Tyres"));
        QCOMPARE(asked.front().defaultAnswer, MessageBox::Answer::No); // Enter never deletes
        QCOMPARE(items.totalRowCount(), 4);
        QVERIFY(w().saved());

        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        MessageBox::takeShown();
        QCOMPARE(items.totalRowCount(), 3);
        QCOMPARE(w().plan().reminders().totalRowCount(), 1);
        QVERIFY(!w().saved());
        QCOMPARE(w().statusTexts().at(1), QString("Expense Total: $176.00")); // 60 a week and 4 a day

        // An item without reminders goes alone; an empty grid asks nothing.
        items.first();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        QCOMPARE(MessageBox::takeShown().size(), 2);
        QVERIFY(items.isEmpty());
        click("obdeleteitem");
        QCOMPARE(MessageBox::takeShown().size(), 0);
        QCOMPARE(w().plan().reminders().totalRowCount(), 1);
    }

    void clearAllKeepsTheCategoryFilter()
    {
        clickRadio("rg_items", 1);
        clickRadio("rgcat", 0); // the first expense category: Car
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E' and cat = 'Car'"));
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obclearall");
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Are you SURE you wish to clear ALL expense items"});
        QCOMPARE(rowsOfKind(w().plan().items(), "catid", "E"), 0); // every expense category
        QCOMPARE(rowsOfKind(w().plan().items(), "catid", "I"), 1);
        QCOMPARE(w().plan().items().filter(), QString("catid = 'E' and cat = 'Car'"));
        QVERIFY(w().plan().items().isFiltered());
        QCOMPARE(w().plan().reminders().totalRowCount(), 3); // clearing leaves reminders
        QVERIFY(!w().saved());
        QCOMPARE(w().statusTexts().at(1), QString("Expense Total: $0.00"));
    }

    void clearAllOnTheOtherTables_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("question");
        QTest::newRow("savings") << 1 << "Are you SURE you wish to clear ALL savings items";
        QTest::newRow("loans") << 2 << "Are you SURE you wish to clear ALL loan items";
        QTest::newRow("reminders") << 3 << "Are you SURE you wish to clear ALL reminders";
    }

    void clearAllOnTheOtherTables()
    {
        QFETCH(int, page);
        QFETCH(QString, question);
        Plan &p = w().plan();
        p.savings().appendRow(
            {"Boat", 1000, QDateTime(QDate(2026, 1, 1), {}), QDateTime(QDate(2027, 1, 1), {}), "Weekly", 20});
        p.loans().appendRow({"Car", "Bank", 5000, 100, "Monthly", QDateTime(QDate(2025, 1, 1), {}), 5,
                             QDateTime(QDate(2030, 1, 1), {}), 7.5});
        w().pages()->setCurrentIndex(page);
        Table &table = page == 1 ? p.savings() : page == 2 ? p.loans() : p.reminders();
        const QString filter = table.filter();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obclearall");
        const auto asked = MessageBox::takeShown();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.front().text, question);
        QCOMPARE(asked.front().defaultAnswer, MessageBox::Answer::No);
        QCOMPARE(table.totalRowCount(), 0);
        QCOMPARE(table.filter(), filter);
        QCOMPARE(p.items().totalRowCount(), 4);
        QVERIFY(!w().saved());
    }

    void contextMenuRunsTheButtons()
    {
        QMenu *menu = w().itemsPopupMenu();
        QCOMPARE(menu->objectName(), QString("BcBarItemsPopupMenu"));
        QStringList sections;
        for (QAction *a : menu->actions())
            if (a->isSeparator())
                sections << a->text();
        QCOMPARE(sections, QStringList({"Items", "Plan", "Categories"}));
        MessageBox::queueAnswer(MessageBox::Answer::No);
        menu->findChild<QAction *>("Delete1")->trigger();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Are you sure you want to delete : Wage"});
    }

    void addReminderNeedsARow()
    {
        w().plan().items().setFilter("catid = 'I' and cat = 'None'");
        click("lmssbtn_addremind");
        QVERIFY(!w().findChild<QDialog *>("frm_reminder"));

        // On the reminders page with no reminder shown, the editor would have
        // nothing to file the reminder under: it says so instead of opening.
        w().plan().items().setFilter("catid = 'I'");
        w().pages()->setCurrentIndex(3);
        w().plan().reminders().setFilter("cat_id = 'I' and month = 7");
        QVERIFY(w().plan().reminders().isEmpty());
        bool opened = false;
        ModalRunner::setHook([&](QDialog *) { opened = true; });
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("lmssbtn_addremind");
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Information);
        QVERIFY(shown.front().text.startsWith("There is no reminder shown to add to."));
        QVERIFY(!opened);
        QVERIFY(!w().findChild<QDialog *>("frm_reminder"));
        QCOMPARE(w().plan().reminders().totalRowCount(), 3);
    }

    // Deleting a category with its items changes the totals at once: the
    // status bar, and the stored totals the calculator and reports read.
    void categoryDeleteRecomputesTheTotals()
    {
        w().setDisplayFrequency(3); // Monthly
        QCOMPARE(w().statusTexts().at(0), QString("Income Total: $1000.00"));
        ModalRunner::setHook([](QDialog *dialog) {
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            dialog->findChild<QAbstractButton *>("btn_cat_del")->click(); // Work, the income category
            dialog->findChild<QAbstractButton *>("btn_close")->click();
        });
        click("obeditcat");
        ModalRunner::setHook({});
        MessageBox::takeShown();
        QCOMPARE(w().plan().items().totalRowCount(), 3);
        QCOMPARE(w().statusTexts().at(0), QString("Income Total: $0.00"));
        QCOMPARE(w().totals().income, 0.0);
        // Left: Tyres 400 a year, Petrol 60 a week and Bread 4 a day, about
        // 13.6666 a day together, 30.4375 days a month.
        QCOMPARE(w().statusTexts().at(4), QString("Balance: -$415.98"));
        QCOMPARE(w().totals().balance, -415.98);
    }
};

QTEST_MAIN(TestItemCommands)
#include "tst_itemcommands.moc"
