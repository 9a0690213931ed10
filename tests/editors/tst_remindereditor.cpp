#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestWidgets.h"

#include "editors/frm_reminder.h"
#include "plan/Plan.h"
#include "planwindow/RemindersPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QToolButton>

// The reminder editor in its three modes and series, and the reminders page
// with its filter, its buttons and the report title.
class TestReminderEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_window;

    Tfrm_budget &w() { return *m_window; }
    Table &rem() { return w().plan().reminders(); }
    RemindersPage *page() { return w().remindersPage(); }
    Tfrm_reminder *editor() { return w().findChild<Tfrm_reminder *>("frm_reminder"); }
    void click(QObject *parent, const char *name) { QTest::mouseClick(child(parent, name), Qt::LeftButton); }
    void tool(const char *name) { QTest::mouseClick(w().toolButton(QLatin1String(name)), Qt::LeftButton); }
    void showPage(int index) { w().pages()->setCurrentIndex(index); }
    void showItemsOf(int kind)
    {
        showPage(0);
        child<RadioGroup>(m_window.get(), "rg_items")->click(kind);
    }
    static void goTo(Table &table, const QString &field, const QString &value)
    {
        for (int r = 0; r < table.rowCount(); ++r)
            if (table.goTo(r), table.asString(field) == value)
                return;
        qFatal("no row %s", qPrintable(value));
    }
    // Fills and saves the open editor, which must then close.
    void save(const QString &desc, const QDate &date, int series = -1)
    {
        QPointer<Tfrm_reminder> e = editor();
        QVERIFY(e);
        child<QLineEdit>(e, "eb_desc")->setText(desc);
        child<QDateEdit>(e, "DE")->setDate(date);
        if (series >= 0) {
            click(e, "cb_addfor");
            child<RadioGroup>(e, "rg_add")->click(series);
        }
        click(e, "LMDSB_save");
        QTRY_VERIFY(e.isNull());
    }
    // Every reminder of the plan as "kind cat/item month/day desc", in order.
    QStringList all()
    {
        QStringList out;
        for (const auto &r : rem().allRows())
            out << QStringLiteral("%1 %2/%3 %4/%5 %6")
                       .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[5].toString(), r[3].toString(),
                            r[4].toString());
        return out;
    }
    QStringList shown() // the descriptions of the grid's rows
    {
        QStringList out;
        for (int r = 0; r < rem().rowCount(); ++r)
            out << rem().visibleValue(r, 4).toString();
        return out;
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_window = openPlanWindow({.categories = {{"Work", "I"}, {"Car", "E"}},
                                   .items = {{"Wage", "Monthly", 1000, "Work", "I"},
                                             {"Overtime for the night shifts", "Weekly", 80, "Work", "I"},
                                             {"Tyres", "Yearly", 400, "Car", "E"}},
                                   .reminders = {{"I", "Work", "Wage", 1, "payslip", 1},
                                                 {"E", "Car", "Tyres", 5, "rotate", 6},
                                                 {"E", "Car", "Tyres", 29, "leap check", 2}}});
    }

    void cleanup()
    {
        m_window.reset();
        GUITEST_CLEANUP();
    }

    // One reminder from each way of opening the editor. The kind written is the
    // kind of the row the labels show, even when the toolbar's current item is
    // of the other kind.
    void singleReminder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("series"); // rg_add entry when "Add For Each :" is ticked
        QTest::addColumn<QStringList>("expected");
        const QString e = "E Car/Tyres 6/5 rotate", i = "I Work/Wage 1/1 payslip";
        QTest::newRow("items page, Add Reminder")
            << "lmssbtn_addremind"
            << "new" << -1 << QStringList{"E Car/Tyres 2/29 leap check", e, i, "I Work/Wage 3/15 pay rent"};
        QTest::newRow("reminders page, Add Reminder")
            << "lmssbtn_addremind"
            << "addexist" << -1 << QStringList{"E Car/Tyres 2/29 leap check", "E Car/Tyres 3/15 pay rent", e, i};
        QTest::newRow("reminders page, Add")
            << "ldmsbtn_reminder_addexist"
            << "addexist" << -1 << QStringList{"E Car/Tyres 2/29 leap check", "E Car/Tyres 3/15 pay rent", e, i};
        QTest::newRow("reminders page, Edit") << "lmdsbtn_reminder_edit"
                                              << "edit" << -1 << QStringList{"E Car/Tyres 3/15 pay rent", e, i};
        QTest::newRow("reminders page, Edit, series")
            << "lmdsbtn_reminder_edit"
            << "edit" << 3
            << QStringList{"E Car/Tyres 2/29 leap check", "E Car/Tyres 3/15 pay rent",  e, "E Car/Tyres 6/15 pay rent",
                           "E Car/Tyres 9/15 pay rent",   "E Car/Tyres 12/15 pay rent", i};
    }

    void singleReminder()
    {
        QFETCH(QString, button);
        QFETCH(QString, mode);
        QFETCH(int, series);
        QFETCH(QStringList, expected);
        goTo(w().plan().items(), "item", "Wage");
        if (mode != "new") {
            showPage(3);
            click(page(), "rg_r_items_1");
            goTo(rem(), "desc", "leap check");
        }
        if (button == "lmssbtn_addremind")
            tool("lmssbtn_addremind");
        else
            click(page(), qPrintable(button));
        QVERIFY(editor() && !editor()->isModal());
        QCOMPARE(editor()->mode(), mode);
        QCOMPARE(child<QLabel>(editor(), "dbt_item")->text(), mode == "new" ? "Wage" : "Tyres");
        save("pay rent", QDate(2026, 3, 15), series);
        QCOMPARE(all(), expected);
        QVERIFY(!w().saved());
    }

    void series_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("dates"); // month/day in order; first and last only for long series
        QTest::newRow("weekly") << 0 << QDate(2026, 1, 1) << 52 << QStringList{"1/1", "12/24"};
        QTest::newRow("fortnightly") << 1 << QDate(2026, 1, 1) << 26 << QStringList{"1/1", "12/17"};
        QTest::newRow("monthly from 31 January")
            << 2 << QDate(2026, 1, 31) << 12 << QStringList{"1/31", "2/28", "3/28", "4/28",  "5/28",  "6/28",
                                                            "7/28", "8/28", "9/28", "10/28", "11/28", "12/28"};
        QTest::newRow("quarterly into a common year")
            << 3 << QDate(2026, 11, 30) << 4 << QStringList{"2/28", "5/28", "8/28", "11/30"};
        QTest::newRow("quarterly into a leap year")
            << 3 << QDate(2027, 11, 30) << 4 << QStringList{"2/29", "5/29", "8/29", "11/30"};
    }

    void series()
    {
        QFETCH(int, step);
        QFETCH(QDate, start);
        QFETCH(int, count);
        QFETCH(QStringList, dates);
        rem().clear();
        tool("lmssbtn_addremind");
        save("check", start, step);
        QCOMPARE(rem().totalRowCount(), count);
        QStringList stored;
        for (const Table::Row &r : rem().allRows())
            stored << r[5].toString() + '/' + r[3].toString();
        if (count > dates.size())
            stored = QStringList{stored.first(), stored.last()};
        QCOMPARE(stored, dates);
    }

    // A 29 February the current year lacks is shown in the next leap year, so
    // an untouched save keeps it. After "Please Enter A Description" the
    // dialog shows the stored reminder again.
    void editShowsTheStoredReminder_data()
    {
        QTest::addColumn<QString>("desc");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("emptyFirst");
        QTest::newRow("ordinary day") << "rotate"
                                      << "05/06/2026" << false;
        QTest::newRow("29 February") << "leap check"
                                     << "29/02/2028" << false;
        QTest::newRow("after an empty description") << "rotate"
                                                    << "05/06/2026" << true;
    }

    void editShowsTheStoredReminder()
    {
        QFETCH(QString, desc);
        QFETCH(QString, date);
        QFETCH(bool, emptyFirst);
        showItemsOf(1);
        showPage(3);
        goTo(rem(), "desc", desc);
        const QStringList before = all();
        click(page(), "lmdsbtn_reminder_edit");
        if (emptyFirst) {
            child<QLineEdit>(editor(), "eb_desc")->clear();
            child<QDateEdit>(editor(), "DE")->setDate(QDate(2026, 1, 2));
            MessageBox::queueAnswer(MessageBox::Answer::Ok);
            click(editor(), "LMDSB_save");
            QCOMPARE(GuiTest::shownTexts(), QStringList{"Please Enter A Description"});
            QVERIFY(editor() && editor()->isVisible() && w().saved());
        }
        QCOMPARE(child<QDateEdit>(editor(), "DE")->text(), date);
        QCOMPARE(child<QLineEdit>(editor(), "eb_desc")->text(), desc);
        click(editor(), "LMDSB_save");
        QTRY_VERIFY(!editor());
        QCOMPARE(all(), before);
    }

    // The labels follow the item the user moves to; the reminder keeps the
    // first 20 characters of its name and still shows under that item.
    void labelsFollowTheCurrentItem()
    {
        tool("lmssbtn_addremind");
        QLabel *start = child<QLabel>(editor(), "lbl_start_date");
        QCOMPARE(start->text(), QStringLiteral("Monday 15 06 2026"));
        showItemsOf(1);
        QCOMPARE(child<QLabel>(editor(), "dbt_item")->text(), QStringLiteral("Tyres"));
        showItemsOf(0);
        goTo(w().plan().items(), "item", "Overtime for the night shifts");
        QCOMPARE(child<QLabel>(editor(), "dbt_item")->text(), QStringLiteral("Overtime for the night shifts"));
        child<QDateEdit>(editor(), "DE")->setDate(QDate(2026, 3, 1));
        QCOMPARE(start->text(), QStringLiteral("Sunday 01 March 2026"));
        save("claim", QDate(2026, 7, 4));
        QVERIFY(all().contains("I Work/Overtime for the nig 7/4 claim"));
        QCOMPARE(shown(), QStringList{"claim"});
    }

    // --- the reminders page -----------------------------------------------------------

    void pageFilter_data()
    {
        QTest::addColumn<int>("itemsKind");
        QTest::addColumn<int>("via"); // a page shown after choosing "Expense" on the reminders page
        QTest::addColumn<int>("month"); // ticked "View By Month :" when >= 0
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("title"); // of the printed reminders
        const QStringList expense{"leap check", "rotate"};
        QTest::newRow("income") << 0 << -1 << -1 << "cat_id = 'I'" << QStringList{"payslip"} << "Income Reminders";
        QTest::newRow("expense") << 1 << -1 << -1 << "cat_id = 'E'" << expense << "Expense Reminders";
        QTest::newRow("expense, March") << 1 << -1 << 2 << "cat_id = 'E' and month = '3'" << QStringList{}
                                        << "Expense Reminders For : March";
        QTest::newRow("expense, June") << 1 << -1 << 5 << "cat_id = 'E' and month = '6'" << QStringList{"rotate"}
                                       << "Expense Reminders For : June";
        QTest::newRow("from savings") << 0 << 1 << -1 << "cat_id = 'E'" << expense << "Expense Reminders";
        QTest::newRow("from loans") << 0 << 2 << -1 << "cat_id = 'E'" << expense << "Expense Reminders";
    }

    void pageFilter()
    {
        QFETCH(int, itemsKind);
        QFETCH(int, via);
        QFETCH(int, month);
        QFETCH(QString, filter);
        QFETCH(QStringList, rows);
        QFETCH(QString, title);
        auto *months = child<QComboBox>(page(), "cb_rmonth");
        QCOMPARE(months->currentText(), QStringLiteral("June"));
        showItemsOf(itemsKind);
        showPage(3);
        if (via > 0) {
            click(page(), "rg_r_items_1");
            showPage(via);
            showPage(3);
        }
        QCOMPARE(w().pagekind(), QStringLiteral("reminder"));
        const QStringList before = shown();
        months->setCurrentIndex(qMax(month, 0));
        QCOMPARE(shown(), before);
        if (month >= 0)
            click(page(), "lmdcb_bymonth");
        QCOMPARE(rem().filter(), filter);
        QCOMPARE(shown(), rows);
        QCOMPARE(page()->reportTitle(), title);
        if (rows.isEmpty()) { // Add, Edit and Delete need a row
            for (const char *b : {"ldmsbtn_reminder_addexist", "lmdsbtn_reminder_edit", "lmdsbtn_reminder_delete"})
                click(page(), b);
            QVERIFY(!editor() && w().saved());
        }

        showItemsOf(0); // the items page links the reminders to its item again
        goTo(w().plan().items(), "item", "Wage");
        QCOMPARE(shown(), QStringList{"payslip"});
    }

    void deleteAsksAndMarksThePlanChanged()
    {
        showItemsOf(1);
        showPage(3);
        goTo(rem(), "desc", "rotate");
        for (MessageBox::Answer answer : {MessageBox::Answer::No, MessageBox::Answer::Yes}) {
            MessageBox::queueAnswer(answer);
            tool("obdeleteitem");
            QCOMPARE(GuiTest::shownTexts(), QStringList{"Delete reminder : \"rotate\" for item : \"Tyres\""});
            QCOMPARE(shown().size(), answer == MessageBox::Answer::No ? 2 : 1);
            QCOMPARE(w().saved(), answer == MessageBox::Answer::No);
        }
    }
};

QTEST_MAIN(TestReminderEditor)
#include "tst_remindereditor.moc"
