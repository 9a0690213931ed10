#include "plan/CategoryTree.h"
#include "plan/ChartBars.h"
#include "plan/Clock.h"
#include "plan/Frequency.h"
#include "plan/ItemRoutines.h"
#include "plan/PlanEdits.h"
#include "plan/MoneyFormat.h"
#include "plan/Plan.h"
#include "plan/PlanTotals.h"
#include "plan/Savings.h"

#include <QTest>
#include <ctime>

// Conversions, totals, savings arithmetic, category trees and the item routines.
class TestPlanRoutines : public QObject
{
    Q_OBJECT

    static QDateTime at(int y, int m, int d, int h = 0) { return QDateTime(QDate(y, m, d), QTime(h, 0)); }

    static void item(Plan &p, const QString &name, const QString &cat, const QString &kind, double amount,
                     const QString &freq)
    {
        QCOMPARE(PlanEdits::addItem(p,
                                    {{"item", name},
                                     {"cat", cat},
                                     {"freq", freq},
                                     {"amount", amount},
                                     {"catid", kind},
                                     {"notes", QString()}})
                     .error,
                 QString());
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        // Day counts must not move with daylight saving.
        qputenv("TZ", "America/New_York");
        tzset();
    }
    void cleanup() { Clock::reset(); }

    void singleAmountConversion_data()
    {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<double>("expected");
        QTest::newRow("weekly as monthly") << 100.0 << "Weekly"
                                           << "Monthly" << 434.821;
        QTest::newRow("yearly as monthly is not exact") << 1200.0 << "Yearly"
                                                        << "Monthly" << 99.9994;
        QTest::newRow("same frequency") << 70.0 << "Weekly"
                                        << "Weekly" << 70.0;
        QTest::newRow("daily as yearly") << 3.0 << "Daily"
                                         << "Yearly" << 1095.75;
        // 7 and 21 ten-thousandths a fortnight are 0.5 and 1.5 a day: halves
        // go to the even neighbour.
        QTest::newRow("half to even, down") << 0.0007 << "Fortnightly"
                                            << "Daily" << 0.0;
        QTest::newRow("half to even, up") << 0.0021 << "Fortnightly"
                                          << "Daily" << 0.0002;
        QTest::newRow("unknown frequency") << 10.0 << "Hourly"
                                           << "Daily" << 0.0;
        QTest::newRow("case matters") << 10.0 << "weekly"
                                      << "Daily" << 0.0;
    }

    void singleAmountConversion()
    {
        QFETCH(double, amount);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(double, expected);
        QCOMPARE(Frequency::convert(amount, from, to), expected);
    }

    void planTotalsWorkedExample()
    {
        Plan plan;
        plan.categories().appendRow({"Work", "I"});
        item(plan, "Wage", "Work", "I", 1000, "Monthly");
        item(plan, "Food", "Home", "E", 100, "Weekly");
        item(plan, "Paper", "Home", "E", 3, "Daily");
        plan.items().setFilter("catid = 'I'"); // totals count every item, filter or not
        const PlanTotals t = computePlanTotals(plan, "Monthly", at(2026, 3, 1, 12));
        QCOMPARE(t.income, 1000.00);
        QCOMPARE(t.expense, 526.13);
        QCOMPARE(t.balance, 473.87);
        QCOMPARE(statusBarTexts(t, "$"),
                 QStringList({"Income Total: $1000.00", "Expense Total: $526.13", "Savings Goals: $0.00",
                              "Total Loans: $0.00", "Balance: $473.87"}));

        const PlanTotals weekly = computePlanTotals(plan, "Weekly", at(2026, 3, 1));
        QCOMPARE(weekly.expense, 121.0); // 100 + 3 * 7: a weekly amount counts exactly
    }

    void goalsAndLoansCountUntilTheirFinish_data()
    {
        QTest::addColumn<QDateTime>("finish");
        QTest::addColumn<bool>("counts");
        QTest::newRow("finishes today at midnight") << at(2026, 6, 10) << false;
        QTest::newRow("finished yesterday") << at(2026, 6, 9) << false;
        QTest::newRow("finishes tomorrow") << at(2026, 6, 11) << true;
        QTest::newRow("no finish date") << QDateTime() << false;
    }

    void goalsAndLoansCountUntilTheirFinish()
    {
        QFETCH(QDateTime, finish);
        QFETCH(bool, counts);
        Plan plan;
        plan.savings().appendRow({"Boat", 1000, at(2026, 1, 1), finish, "Weekly", 70});
        plan.loans().appendRow({"Car", "Bank", 5000, 14, "Daily", at(2025, 1, 1), 2, finish, 7.5});
        const PlanTotals t = computePlanTotals(plan, "Weekly", at(2026, 6, 10, 9));
        QCOMPARE(t.savings, counts ? 70.0 : 0.0);
        QCOMPARE(t.loans, counts ? 98.0 : 0.0);
        QCOMPARE(t.balance, counts ? -168.0 : 0.0);
    }

    void chartLegendNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole, grouped") << 1100.0 << "1,100";
        QTest::newRow("three decimals at most") << 1234.5678 << "1,234.568";
        QTest::newRow("half away from zero") << 0.0005 << "0.001";
        QTest::newRow("trailing zeros dropped") << 1622.9200 << "1,622.92";
        QTest::newRow("negative") << -1622.92 << "-1,622.92";
        QTest::newRow("rounds to zero") << -0.0004 << "0";
        QTest::newRow("millions") << 1000000.0 << "1,000,000";
    }

    void chartLegendNumbers()
    {
        QFETCH(double, value);
        QTEST(ChartBars::legendNumber(value), "text");
    }

    void moneyTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands without separator") << 1234.5 << "$1234.50";
        QTest::newRow("negative") << -12.5 << "-$12.50";
        QTest::newRow("zero") << 0.0 << "$0.00";
        QTest::newRow("half away from zero") << 62.495 << "$62.50";
        QTest::newRow("decimal half that is below in binary") << 1.005 << "$1.01";
        QTest::newRow("negative half") << -0.125 << "-$0.13";
        QTest::newRow("tiny negative is zero") << -0.001 << "$0.00";
        QTest::newRow("carry into a new digit") << 999.996 << "$1000.00";
        QTest::newRow("large") << 123456789.125 << "$123456789.13";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "$0.00";
    }

    void moneyTexts()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(MoneyFormat::moneyText(value), text);
    }

    void savingsPeriods_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("finish");
        QTest::addColumn<QString>("freq");
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("instalment"); // -1: not enough time
        QTest::newRow("March weekly") << at(2026, 3, 1) << at(2026, 3, 31) << "Weekly" << 300.0 << 75.0;
        QTest::newRow("six days weekly") << at(2026, 3, 1) << at(2026, 3, 7) << "Weekly" << 300.0 << -1.0;
        QTest::newRow("seven days weekly") << at(2026, 3, 1) << at(2026, 3, 8) << "Weekly" << 300.0 << 300.0;
        QTest::newRow("59 days monthly") << at(2026, 1, 1) << at(2026, 3, 1) << "Monthly" << 600.0 << 600.0;
        QTest::newRow("60 days monthly") << at(2026, 1, 1) << at(2026, 3, 2) << "Monthly" << 600.0 << 300.0;
        QTest::newRow("finish before start") << at(2026, 3, 31) << at(2026, 3, 1) << "Weekly" << 300.0 << 75.0;
        QTest::newRow("across a clock change") << at(2026, 3, 1) << at(2026, 4, 1) << "Daily" << 31.0 << 1.0;
        QTest::newRow("fall back") << at(2026, 10, 31) << at(2026, 11, 2) << "Daily" << 2.0 << 1.0;
        QTest::newRow("unknown frequency") << at(2026, 1, 1) << at(2027, 1, 1) << "Hourly" << 1.0 << -1.0;
    }

    void savingsPeriods()
    {
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, finish);
        QFETCH(QString, freq);
        QFETCH(double, target);
        QFETCH(double, instalment);
        const auto each = Savings::instalment(freq, start, finish, target);
        QCOMPARE(each.has_value(), instalment >= 0);
        if (each)
            QCOMPARE(*each, instalment);

        Plan plan;
        const PlanEdits::PlanEdit r = PlanEdits::addSavingsGoal(plan, "Goal", freq, start, finish, target);
        if (instalment < 0) {
            QCOMPARE(r.error, "You dont have enough time to save " + freq);
            QCOMPARE(plan.savings().totalRowCount(), 0);
            QVERIFY(plan.isSaved());
        } else {
            QVERIFY(r.ok());
            QCOMPARE(plan.savings().asMoney("freqamount"), instalment);
            QCOMPARE(plan.savings().asMoney("amount"), target);
        }
    }

    void savingsBalance()
    {
        // A monthly goal of 300 a month, 45 days in: one period saved.
        QCOMPARE(Savings::balance("Monthly", at(2026, 1, 1), 300, 1200, at(2026, 2, 15, 10)), 900.0);
        // Saved for longer than planned: negative, not limited.
        QCOMPARE(Savings::balance("Monthly", at(2026, 1, 1), 300, 600, at(2026, 5, 15)), -600.0);
        QCOMPARE(Savings::balance("Fortnightly", at(2026, 1, 1), 50, 100, at(2026, 1, 14)), 100.0);
        QCOMPARE(Savings::balance("Nonsense", at(2026, 1, 1), 50, 100, at(2026, 3, 1)), 0.0);
    }

    void categoryTrees()
    {
        Plan plan;
        QCOMPARE(rebuildCategoryTrees(plan), CategoryTrees{});
        plan.categories().appendRow({"Rent", "E"});
        plan.categories().appendRow({"Food", "E"});
        plan.categories().appendRow({"Work", "I"});
        plan.categories().appendRow({"Food", "I"});
        item(plan, "Tax", "Rent", "E", 1, "Weekly");
        item(plan, "Rent", "Rent", "E", 1, "Weekly");
        item(plan, "Bread", "Food", "E", 1, "Weekly");
        item(plan, "Voucher", "Food", "I", 1, "Weekly"); // next to Bread: the same name, the other kind
        item(plan, "Wage", "Work", "I", 1, "Weekly");
        item(plan, "Lost", "Nowhere", "E", 1, "Weekly"); // no category row: not shown
        plan.items().setFilter("catid = 'I'");
        plan.categories().setFiltered(true);

        const CategoryTrees trees = rebuildCategoryTrees(plan);
        const CategoryTrees expected{
            {{"Food", {"Voucher"}}, {"Work", {"Wage"}}},
            {{"Food", {"Bread"}}, {"Rent", {"Rent", "Tax"}}},
        };
        QCOMPARE(trees, expected);
        QCOMPARE(plan.categoryTrees(), expected);
        QVERIFY(!plan.categories().isFiltered());
        QVERIFY(plan.items().isFiltered());
        QCOMPARE(plan.items().filter(), QString("catid = 'I'"));
    }

    void addItemRefusesDuplicates()
    {
        Plan plan;
        item(plan, "Wage", "Work", "I", 10, "Weekly");
        plan.setSaved(true);
        const PlanEdits::PlanEdit refused = PlanEdits::addItem(
            plan,
            {{"item", "Wage"}, {"cat", "Work"}, {"freq", "Monthly"}, {"amount", 99}, {"catid", "I"}, {"notes", "x"}});
        QCOMPARE(refused.error, QString("The category \"Work\" already has an income item \"Wage\""));
        QVERIFY(refused.change.isEmpty());
        QCOMPARE(plan.items().totalRowCount(), 1);
        QCOMPARE(plan.items().state(), Table::State::Browse);
        QVERIFY(plan.isSaved()); // refused: nothing changed
        QCOMPARE(plan.items().allRows().front().at(2).toDouble(), 10.0);
    }

    void deleteTakesTheItemsRemindersOnly()
    {
        Plan plan;
        const QString longName = "Council rates for the year";
        item(plan, longName, "Home", "E", 1, "Yearly");
        item(plan, "Wage", "Work", "I", 1, "Weekly");
        Table &rem = plan.reminders();
        rem.appendRow({"E", "Home", longName, 1, "pay", 1});
        rem.appendRow({"E", "Home", longName, 1, "pay", 7});
        rem.appendRow({"I", "Work", "Wage", 1, "check", 2});
        plan.savings().appendRow({"Boat", 1000, at(2026, 1, 1), at(2027, 1, 1), "Weekly", 70});

        plan.items().setFilter("catid = 'E'");
        plan.items().setFiltered(true);
        plan.items().first();
        QVERIFY(PlanEdits::deleteItem(plan).ok());
        QCOMPARE(plan.items().totalRowCount(), 1);
        QCOMPARE(rem.totalRowCount(), 1);
        QCOMPARE(rem.allRows().front().at(2).toString(), QString("Wage"));

        plan.savings().first();
        QVERIFY(PlanEdits::deleteSavingsGoal(plan).ok());
        QCOMPARE(plan.savings().totalRowCount(), 0);
        QCOMPARE(rem.totalRowCount(), 1);
    }

    // Makes the item current and lists the reminders the items page shows under it.
    static QStringList shownReminders(Plan &plan, const QString &kind, const QString &cat, const QString &name)
    {
        Table &items = plan.items();
        items.setFiltered(false);
        for (int i = 0; i < items.rowCount(); ++i) {
            items.goTo(i);
            if (items.asString("catid") == kind && items.asString("cat") == cat && items.asString("item") == name)
                break;
        }
        QStringList out;
        Table &rem = plan.reminders();
        for (int i = 0; i < rem.rowCount(); ++i) {
            rem.goTo(i);
            out << rem.asString("desc");
        }
        return out;
    }

    // A reminder belongs to an item by kind, category and the item name cut
    // to the reminder's 20 characters: the same names under the other kind,
    // and long names alike in their first 20 characters, are kept apart on
    // delete, and a shared reminder stays while any of its items remains.
    void remindersBelongToTheirOwnItem()
    {
        Plan plan;
        item(plan, "Bonus", "Work", "I", 500, "Yearly");
        item(plan, "Bonus", "Work", "E", 50, "Yearly");
        const QString car = "Insurance premium - car";
        const QString house = "Insurance premium - house";
        item(plan, car, "Cover", "E", 90, "Monthly");
        item(plan, house, "Cover", "E", 60, "Monthly");
        Table &rem = plan.reminders();
        rem.appendRow({"I", "Work", "Bonus", 1, "bonus paid", 12});
        rem.appendRow({"E", "Work", "Bonus", 2, "pay the party", 12});
        rem.appendRow({"E", "Cover", car, 3, "car due", 4});
        rem.appendRow({"E", "Cover", house, 4, "house due", 9});
        rem.setFiltered(false);
        rem.setLinkActive(true);

        QCOMPARE(shownReminders(plan, "I", "Work", "Bonus"), QStringList{"bonus paid"});
        QCOMPARE(shownReminders(plan, "E", "Work", "Bonus"), QStringList{"pay the party"});
        // Both long names keep only "Insurance premium - ": the reminders are shared.
        QCOMPARE(shownReminders(plan, "E", "Cover", car), QStringList({"car due", "house due"}));
        QCOMPARE(ItemRoutines::itemsSharingReminders(plan, "E", "Cover", house), 2);

        shownReminders(plan, "E", "Work", "Bonus");
        QVERIFY(PlanEdits::deleteItem(plan).ok());
        shownReminders(plan, "E", "Cover", car);
        QVERIFY(PlanEdits::deleteItem(plan).ok());
        QStringList left;
        for (const Table::Row &r : rem.allRows())
            left << r.at(4).toString();
        QCOMPARE(left, QStringList({"car due", "house due", "bonus paid"}));
        QCOMPARE(shownReminders(plan, "E", "Cover", house), QStringList({"car due", "house due"}));

        // The last item of the two takes them with it.
        QVERIFY(PlanEdits::deleteItem(plan).ok());
        QCOMPARE(rem.totalRowCount(), 1);
        QCOMPARE(rem.allRows().front().at(4).toString(), QString("bonus paid"));
    }

    // A name cut inside a character outside the Basic Multilingual Plane is
    // cut where the reminder cut it.
    void remindersOfNamesWithWideCharacters()
    {
        Plan plan;
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        const QString name = QString(19, u'x') + clef + "tail";
        item(plan, name, "Music", "E", 5, "Weekly");
        plan.reminders().appendRow({"E", "Music", name, 1, "lesson", 1});
        QCOMPARE(plan.reminders().allRows().front().at(2).toString(), QString(19, u'x') + clef);
        plan.reminders().setFiltered(false);
        plan.reminders().setLinkActive(true);
        QCOMPARE(shownReminders(plan, "E", "Music", name), QStringList{"lesson"});
        QVERIFY(PlanEdits::deleteItem(plan).ok());
        QCOMPARE(plan.reminders().totalRowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlanRoutines)
#include "tst_planroutines.moc"
