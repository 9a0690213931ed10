#include "plan/Plan.h"

#include <QSignalSpy>
#include <tuple>
#include <QTest>

// The behaviours of the plan tables that windows and files rely on.
class TestTable : public QObject
{
    Q_OBJECT

private:
    static void addItem(Table &t, const QString &item, const QString &cat, const QString &kind,
                        double amount = 1, const QString &freq = "Weekly")
    {
        t.insert();
        t.setValue("item", item);
        t.setValue("freq", freq);
        t.setValue("amount", amount);
        t.setValue("cat", cat);
        t.setValue("catid", kind);
        t.post();
    }

    static QStringList visibleItems(const Table &t, const QString &field = "item")
    {
        QStringList out;
        const int f = t.fieldIndex(field);
        for (int i = 0; i < t.rowCount(); ++i)
            out << t.visibleValue(i, f).toString();
        return out;
    }

    static void addReminder(Table &t, const QString &kind, const QString &cat, const QString &item,
                            int month, int dom, const QString &desc = "r")
    {
        t.insert();
        t.setValue("cat_id", kind);
        t.setValue("cat", cat);
        t.setValue("item", item);
        t.setValue("month", month);
        t.setValue("dom", dom);
        t.setValue("desc", desc);
        t.post();
    }

private slots:
    void uniqueKey_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("cat");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("same category, kind and name") << "Bread" << "Food" << "E" << false;
        QTest::newRow("same name, other category") << "Bread" << "Shop" << "E" << true;
        QTest::newRow("same name and category name, other kind") << "Bread" << "Food" << "I" << true;
        QTest::newRow("name differing only in case") << "bread" << "Food" << "E" << true;
    }

    void uniqueKey()
    {
        QFETCH(QString, item);
        QFETCH(QString, cat);
        QFETCH(QString, kind);
        QFETCH(bool, accepted);
        Plan plan;
        Table &t = plan.items();
        addItem(t, "Bread", "Food", "E");
        bool refused = false;
        try {
            addItem(t, item, cat, kind);
        } catch (const TableError &e) {
            refused = true;
            // Plain words with the names as stored, no table internals.
            QCOMPARE(e.message(), QString("The category \"Food\" already has an expense item \"Bread\""));
            QCOMPARE(t.state(), Table::State::Insert); // the caller cancels
            t.cancel();
        }
        QCOMPARE(!refused, accepted);
        QCOMPARE(t.totalRowCount(), accepted ? 2 : 1);
    }

    void editIntoExistingKeyIsRefusedAndRowKept()
    {
        Plan plan;
        Table &t = plan.items();
        addItem(t, "Bread", "Food", "E");
        addItem(t, "Milk", "Food", "E");
        t.first(); // Bread
        t.edit();
        t.setValue("item", "Milk");
        QVERIFY_THROWS_EXCEPTION(TableError, t.post());
        t.cancel();
        QCOMPARE(visibleItems(t), QStringList({"Bread", "Milk"}));
    }

    void presentationOrder()
    {
        Plan plan;
        Table &items = plan.items();
        addItem(items, "Petrol", "Food", "E");
        addItem(items, "Bread", "Food", "E");
        addItem(items, "Tyres", "Car", "E");
        addItem(items, "apples", "Food", "E");
        QCOMPARE(visibleItems(items), QStringList({"Tyres", "apples", "Bread", "Petrol"}));

        // Savings and loans keep the order they were added in.
        Table &savings = plan.savings();
        for (const QString d : {"Zoo", "Car", "Boat"}) {
            savings.insert();
            savings.setValue("desc", d);
            savings.post();
        }
        QCOMPARE(visibleItems(savings, "desc"), QStringList({"Zoo", "Car", "Boat"}));

        // Reminders by category, item, month, day.
        Table &rem = plan.reminders();
        rem.setFiltered(false);
        addReminder(rem, "E", "Food", "Bread", 3, 1, "c");
        addReminder(rem, "E", "Food", "Bread", 1, 20, "b");
        addReminder(rem, "E", "Food", "Bread", 1, 5, "a");
        addReminder(rem, "E", "Car", "Tyres", 12, 1, "first");
        QCOMPARE(visibleItems(rem, "desc"), QStringList({"first", "a", "b", "c"}));
    }

    void storedValuesAreCutAndRounded()
    {
        Plan plan;
        Table &rem = plan.reminders();
        rem.insert();
        rem.setValue("desc", QString(60, 'x'));
        rem.setValue("item", QString::fromUtf8("Überweisung für die Miete"));
        QCOMPARE(rem.asString("desc").size(), 50);
        QCOMPARE(rem.asString("item"), QString::fromUtf8("Überweisung für die "));
        rem.cancel();

        Table &items = plan.items();
        items.insert();
        items.setValue("amount", 12.345678);
        QCOMPARE(items.asMoney("amount"), 12.3457);
        items.setValue("amount", "7.5");
        QCOMPARE(items.asMoney("amount"), 7.5);
        QVERIFY_THROWS_EXCEPTION(TableError, items.setValue("amount", "seven"));
        QVERIFY_THROWS_EXCEPTION(TableError, items.setValue("amount", std::numeric_limits<double>::quiet_NaN()));
        items.cancel();
    }

    void cursorAndDelete()
    {
        Plan plan;
        Table &t = plan.items();
        for (const QString n : {"A", "B", "C"})
            addItem(t, n, "Food", "E");
        t.first();
        QCOMPARE(t.asString("item"), QString("A"));
        t.next();
        t.next();
        QVERIFY(!t.atEnd());
        t.next();
        QVERIFY(t.atEnd());
        QCOMPARE(t.asString("item"), QString("C"));

        t.goTo(1);
        t.remove(); // the following row becomes current
        QCOMPARE(t.asString("item"), QString("C"));
        t.remove(); // the last row went: the previous one
        QCOMPARE(t.asString("item"), QString("A"));
        t.remove();
        QCOMPARE(t.currentRow(), -1);
        QVERIFY(t.isEmpty());
        QVERIFY_THROWS_EXCEPTION(TableError, t.remove());
        QVERIFY_THROWS_EXCEPTION(TableError, t.edit());
    }

    void postMakesTheRowCurrentAndTellsViews()
    {
        Plan plan;
        Table &t = plan.items();
        addItem(t, "Rent", "Home", "E");
        QSignalSpy reset(&t, &Table::visibleRowsReset);
        QSignalSpy changed(&t, &Table::rowChanged);
        addItem(t, "Apples", "Food", "E");
        QCOMPARE(t.asString("item"), QString("Apples"));
        QCOMPARE(reset.count(), 1);

        t.edit(); // a change that keeps the row's place is a change in place
        t.setValue("amount", 9.99);
        t.post();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(reset.count(), 1);

        t.edit(); // a rename that moves it: the moved row stays current
        t.setValue("cat", "Zoo");
        t.post();
        QCOMPARE(t.currentRow(), 1);
        QCOMPARE(t.asString("item"), QString("Apples"));
    }

    void filters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("kind") << "catid = 'E'" << QStringList{"Tyres", "Bread", "Cake"};
        QTest::newRow("no blanks") << "catid='I'" << QStringList{"Wage"};
        QTest::newRow("conjunction") << "catid = 'E' and cat = 'Food'" << QStringList{"Bread"};
        QTest::newRow("doubled quote") << "catid = 'E' and cat = 'Mum''s'" << QStringList{"Cake"};
        QTest::newRow("case-sensitive") << "cat = 'food'" << QStringList{};
        QTest::newRow("field name in capitals") << "CATID = 'I'" << QStringList{"Wage"};
        QTest::newRow("empty filter") << "" << QStringList{"Tyres", "Bread", "Cake", "Wage"};
    }

    void filters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        Plan plan;
        Table &t = plan.items();
        addItem(t, "Tyres", "Car", "E");
        addItem(t, "Bread", "Food", "E");
        addItem(t, "Cake", "Mum's", "E");
        addItem(t, "Wage", "Work", "I");
        t.setFilter(filter);
        QCOMPARE(t.rowCount(), 4); // the switch is still off
        t.setFiltered(true);
        QCOMPARE(visibleItems(t), expected);
        QCOMPARE(t.rowCount(), expected.size());
        t.first();
        int walked = 0;
        while (!t.atEnd() && t.currentRow() >= 0) {
            ++walked;
            t.next();
        }
        QCOMPARE(walked, expected.size());
        t.setFiltered(false);
        QCOMPARE(t.rowCount(), 4);
    }

    void integerFieldFilters()
    {
        Plan plan;
        Table &rem = plan.reminders();
        addReminder(rem, "E", "Car", "Tyres", 3, 1);
        addReminder(rem, "E", "Car", "Tyres", 4, 1);
        addReminder(rem, "I", "Work", "Wage", 3, 1);
        for (const QString f : {"cat_id = 'E' and month = 3", "cat_id = 'E' and month = '3'", "month=3 and cat_id='E'"}) {
            rem.setFilter(f);
            QCOMPARE(rem.rowCount(), 1);
        }
    }

    void badFilterIsAnErrorAndKeepsThePrevious_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unknown field") << "kind = 'E'";
        QTest::newRow("no operator") << "catid 'E'";
        QTest::newRow("unterminated string") << "catid = 'E";
        QTest::newRow("dangling and") << "catid = 'E' and";
        QTest::newRow("or is not offered") << "catid = 'E' or catid = 'I'";
        QTest::newRow("word constant") << "catid = E";
        QTest::newRow("text for an integer field") << "month = 'March'";
        QTest::newRow("missing value") << "catid =";
    }

    void badFilterIsAnErrorAndKeepsThePrevious()
    {
        QFETCH(QString, filter);
        Plan plan;
        Table &t = plan.categories();
        t.appendRow({"Food", "E"});
        t.appendRow({"Work", "I"});
        QCOMPARE(t.rowCount(), 1); // "catid = 'I'" from the start
        try {
            if (t.fieldIndex("month") < 0 && filter.startsWith("month"))
                plan.reminders().setFilter(filter);
            else
                t.setFilter(filter);
            QFAIL("the filter was accepted");
        } catch (const TableError &e) {
            QVERIFY2(e.message().contains("not valid"), qPrintable(e.message()));
        }
        QCOMPARE(t.filter(), QString("catid = 'I'"));
        QCOMPARE(t.rowCount(), 1);
    }

    void remindersFollowTheCurrentItem()
    {
        Plan plan;
        Table &items = plan.items();
        Table &rem = plan.reminders();
        rem.setFiltered(false);
        const QString longName = "Electricity and gas for the house";
        addItem(items, longName, "Home", "E");
        addItem(items, "Wage", "Work", "I");
        addReminder(rem, "E", "Home", longName, 1, 1); // item cut to 20 characters
        addReminder(rem, "E", "Home", longName, 2, 1);
        addReminder(rem, "I", "Work", "Wage", 1, 15);
        addReminder(rem, "I", "Other", "Wage", 1, 15);
        rem.setLinkActive(true);

        items.first();
        QCOMPARE(rem.rowCount(), 2);
        items.next();
        QCOMPARE(rem.rowCount(), 1);
        QCOMPARE(rem.asString("cat"), QString("Work"));

        rem.insert(); // a new detail row belongs to the current item
        QCOMPARE(rem.asString("item"), QString("Wage"));
        QCOMPARE(rem.asString("cat"), QString("Work"));
        rem.cancel();

        items.setFilter("catid = 'I' and cat = 'Nothing'");
        items.setFiltered(true);
        QCOMPARE(rem.rowCount(), 0);

        rem.setLinkActive(false);
        QCOMPARE(rem.rowCount(), 4);
    }

    void initialFilters()
    {
        Plan plan;
        QCOMPARE(plan.categories().filter(), QString("catid = 'I'"));
        QVERIFY(plan.categories().isFiltered());
        QCOMPARE(plan.reminders().filter(), QString("cat_id='I'"));
        QVERIFY(plan.reminders().isFiltered());
        QVERIFY(!plan.items().isFiltered());
        QCOMPARE(plan.displayFrequency(), 2);
    }

    void loadingRefusesDuplicateKeysAndKeepsRows()
    {
        Plan plan;
        Table &t = plan.categories();
        t.appendRow({"Food", "E"});
        std::vector<Table::Row> rows{{"Car", "E"}, {"Car", "E"}};
        QVERIFY_THROWS_EXCEPTION(TableError, t.setAllRows(rows));
        QCOMPARE(t.totalRowCount(), 1);
    }

    // The reminders shown under an item are found among neighbours in the
    // reminders' order (category, item, month, day) that differ from it only
    // in case, in kind, or after the 20 characters a reminder keeps.
    void remindersOfTheCurrentItemAmongNeighbours_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cat");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("lower-case name") << "E" << "Home" << "bonus" << QStringList{"b1", "b2"};
        QTest::newRow("capitalised name") << "E" << "Home" << "Bonus" << QStringList{"B"};
        QTest::newRow("lower-case category") << "E" << "home" << "Bonus" << QStringList{"h"};
        QTest::newRow("expense of a name also income") << "E" << "Home" << "Rent" << QStringList{"rent out"};
        QTest::newRow("income of a name also expense") << "I" << "Home" << "Rent" << QStringList{"rent in"};
        QTest::newRow("long name, house") << "E" << "Home" << "Electricity and gas for the house"
                                          << QStringList{"power 1", "power 2"};
        QTest::newRow("long name, flat") << "E" << "Home" << "Electricity and gas for the flat"
                                         << QStringList{"power 1", "power 2"};
        QTest::newRow("the 20 characters alone") << "E" << "Home" << "Electricity and gas "
                                                 << QStringList{"power 1", "power 2"};
        QTest::newRow("no reminders") << "E" << "Home" << "Electricity" << QStringList{};
    }

    void remindersOfTheCurrentItemAmongNeighbours()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cat);
        QFETCH(QString, item);
        QFETCH(QStringList, shown);
        Plan plan;
        Table &items = plan.items();
        Table &rem = plan.reminders();
        rem.setFiltered(false);
        for (const auto &[k, c, name] : {std::tuple{"E", "Home", "bonus"}, {"E", "Home", "Bonus"},
                                         {"E", "home", "Bonus"}, {"E", "Home", "Rent"}, {"I", "Home", "Rent"},
                                         {"E", "Home", "Electricity and gas for the house"},
                                         {"E", "Home", "Electricity and gas for the flat"},
                                         {"E", "Home", "Electricity and gas "}, {"E", "Home", "Electricity"}})
            addItem(items, name, c, k);
        addReminder(rem, "E", "Home", "bonus", 3, 1, "b2");
        addReminder(rem, "E", "Home", "bonus", 1, 1, "b1");
        addReminder(rem, "E", "Home", "Bonus", 2, 1, "B");
        addReminder(rem, "E", "home", "Bonus", 2, 1, "h");
        addReminder(rem, "I", "Home", "Rent", 1, 1, "rent in");
        addReminder(rem, "E", "Home", "Rent", 1, 1, "rent out");
        addReminder(rem, "E", "Home", "Electricity and gas for the house", 5, 1, "power 1");
        addReminder(rem, "E", "Home", "Electricity and gas for the flat", 6, 1, "power 2");
        rem.setLinkActive(true);

        for (int i = 0; i < items.rowCount(); ++i) {
            items.goTo(i);
            if (items.asString("catid") == kind && items.asString("cat") == cat && items.asString("item") == item)
                break;
        }
        QCOMPARE(items.asString("item"), item);
        QCOMPARE(visibleItems(rem, "desc"), shown);

        // A reminder added and one deleted while the item is current.
        addReminder(rem, kind, cat, item, 12, 31, "new");
        QCOMPARE(visibleItems(rem, "desc"), shown + QStringList{"new"});
        rem.goTo(0);
        rem.remove();
        QCOMPARE(visibleItems(rem, "desc"), (shown + QStringList{"new"}).mid(1));
        QCOMPARE(rem.totalRowCount(), 8);
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "tst_table.moc"
