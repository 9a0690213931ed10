#include "plan/Plan.h"

#include <QSignalSpy>
#include <algorithm>
#include <QTimeZone>
#include <cmath>
#include <limits>
#include <tuple>
#include <QTest>

// The behaviours of the plan tables that windows and files rely on.
class TestTable : public QObject
{
    Q_OBJECT

private:
    static void addItem(Table &t, const QString &item, const QString &cat, const QString &kind, double amount = 1,
                        const QString &freq = "Weekly")
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

    static void addReminder(Table &t, const QString &kind, const QString &cat, const QString &item, int month, int dom,
                            const QString &desc = "r")
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

    // One field of each type, for values read back as they were stored.
    static QList<FieldDef> everyType()
    {
        return {{"text", FieldType::Text, 10, {}},    {"memo", FieldType::Memo, 0, {}},
                {"money", FieldType::Money, 0, {}},   {"when", FieldType::DateTime, 0, {}},
                {"count", FieldType::Integer, 0, {}}, {"rate", FieldType::Real, 0, {}}};
    }

    // The same value in every way a caller can tell: type, null, text null.
    static bool sameValue(const QVariant &a, const QVariant &b)
    {
        if (a.isValid() != b.isValid() || a.typeId() != b.typeId() || a.isNull() != b.isNull() || a != b)
            return false;
        if (a.typeId() == QMetaType::QString)
            return a.toString().isNull() == b.toString().isNull() && a.toString() == b.toString();
        if (a.typeId() == QMetaType::QDateTime)
            return a.toDateTime().timeSpec() == b.toDateTime().timeSpec()
                && a.toDateTime().date() == b.toDateTime().date() && a.toDateTime().time() == b.toDateTime().time();
        if (a.typeId() == QMetaType::Double)
            return std::signbit(a.toDouble()) == std::signbit(b.toDouble());
        return true;
    }

    static QString describe(const QVariant &v)
    {
        return QStringLiteral("%1 %2%3").arg(QLatin1String(v.metaType().name() ? v.metaType().name() : "invalid"),
                                             v.toString(), v.toString().isNull() ? " (null text)" : "");
    }

private slots:
    void uniqueKey_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("cat");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("same category, kind and name") << "Bread"
                                                      << "Food"
                                                      << "E" << false;
        QTest::newRow("same name, other category") << "Bread"
                                                   << "Shop"
                                                   << "E" << true;
        QTest::newRow("same name and category name, other kind") << "Bread"
                                                                 << "Food"
                                                                 << "I" << true;
        QTest::newRow("name differing only in case") << "bread"
                                                     << "Food"
                                                     << "E" << true;
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

    // Names are kept in order without regard to case, names differing only
    // in case by their case; whatever part of two names is the same, and
    // names beyond the Basic Multilingual Plane included.
    void namesKeepTheirOrderWhateverTheyShare()
    {
        const QStringList letters{"a",
                                  "A",
                                  "b",
                                  "B",
                                  "\u00e9",
                                  "\u00c9",
                                  "z",
                                  QString::fromUcs4(U"\U0001D400"),
                                  QString::fromUcs4(U"\U0001D401"),
                                  QString::fromUcs4(U"\U00010400"),
                                  QString::fromUcs4(U"\U00010428"),
                                  "1",
                                  " "};
        QStringList names;
        quint32 seed = 7;
        while (names.size() < 300) {
            QString name = "Item ";
            for (int i = 0; i < 1 + int(seed % 5); ++i) {
                seed = seed * 1103515245u + 12345u;
                name += letters.at(int((seed >> 16) % letters.size()));
            }
            if (!names.contains(name))
                names << name;
            seed = seed * 1103515245u + 12345u;
        }
        Plan plan;
        Table &t = plan.items();
        for (const QString &name : std::as_const(names))
            addItem(t, name, "Food", "E");
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            const int ci = a.compare(b, Qt::CaseInsensitive);
            return ci != 0 ? ci < 0 : a.compare(b, Qt::CaseSensitive) < 0;
        });
        QCOMPARE(visibleItems(t), names);
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
        for (const QString f :
             {"cat_id = 'E' and month = 3", "cat_id = 'E' and month = '3'", "month=3 and cat_id='E'"}) {
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
        QTest::newRow("lower-case name") << "E"
                                         << "Home"
                                         << "bonus" << QStringList{"b1", "b2"};
        QTest::newRow("capitalised name") << "E"
                                          << "Home"
                                          << "Bonus" << QStringList{"B"};
        QTest::newRow("lower-case category") << "E"
                                             << "home"
                                             << "Bonus" << QStringList{"h"};
        QTest::newRow("expense of a name also income") << "E"
                                                       << "Home"
                                                       << "Rent" << QStringList{"rent out"};
        QTest::newRow("income of a name also expense") << "I"
                                                       << "Home"
                                                       << "Rent" << QStringList{"rent in"};
        QTest::newRow("long name, house") << "E"
                                          << "Home"
                                          << "Electricity and gas for the house" << QStringList{"power 1", "power 2"};
        QTest::newRow("long name, flat") << "E"
                                         << "Home"
                                         << "Electricity and gas for the flat" << QStringList{"power 1", "power 2"};
        QTest::newRow("the 20 characters alone") << "E"
                                                 << "Home"
                                                 << "Electricity and gas " << QStringList{"power 1", "power 2"};
        QTest::newRow("no reminders") << "E"
                                      << "Home"
                                      << "Electricity" << QStringList{};
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
        for (const auto &[k, c, name] : {std::tuple{"E", "Home", "bonus"},
                                         {"E", "Home", "Bonus"},
                                         {"E", "home", "Bonus"},
                                         {"E", "Home", "Rent"},
                                         {"I", "Home", "Rent"},
                                         {"E", "Home", "Electricity and gas for the house"},
                                         {"E", "Home", "Electricity and gas for the flat"},
                                         {"E", "Home", "Electricity and gas "},
                                         {"E", "Home", "Electricity"}})
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

    void everyValueReadsBackAsStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        const QDateTime at(QDate(2024, 9, 8), QTime(0, 0), QTimeZone::utc());
        QTest::newRow("no text") << "text" << QVariant();
        QTest::newRow("null text") << "text" << QVariant(QString());
        QTest::newRow("empty text") << "text" << QVariant(QStringLiteral(""));
        QTest::newRow("text") << "text" << QVariant(QStringLiteral("Rent"));
        QTest::newRow("text cut") << "text" << QVariant(QStringLiteral("Electricity and gas"));
        QTest::newRow("empty memo") << "memo" << QVariant(QStringLiteral(""));
        QTest::newRow("long memo") << "memo" << QVariant(QString(300, u'm'));
        QTest::newRow("money rounded") << "money" << QVariant(12.345678);
        QTest::newRow("money below zero") << "money" << QVariant(-0.5);
        QTest::newRow("money zero below") << "money" << QVariant(-0.0);
        QTest::newRow("money blank") << "money" << QVariant(QStringLiteral(" "));
        QTest::newRow("money as text") << "money" << QVariant(QStringLiteral("7.5"));
        QTest::newRow("date-time") << "when" << QVariant(at);
        QTest::newRow("date-time late") << "when" << QVariant(at.addMSecs(86399999));
        QTest::newRow("date-time local") << "when" << QVariant(QDateTime(QDate(2024, 9, 8), QTime(23, 59)));
        QTest::newRow("date") << "when" << QVariant(QDate(1999, 12, 31));
        QTest::newRow("date long ago") << "when" << QVariant(QDate(-4800, 1, 1));
        QTest::newRow("no date") << "when" << QVariant(QDateTime());
        QTest::newRow("integer") << "count" << QVariant(42);
        QTest::newRow("integer least") << "count" << QVariant(std::numeric_limits<int>::min());
        QTest::newRow("integer from real") << "count" << QVariant(3.0);
        QTest::newRow("integer blank") << "count" << QVariant(QStringLiteral(""));
        QTest::newRow("real") << "rate" << QVariant(1e-300);
        QTest::newRow("real large") << "rate" << QVariant(6.02e23);
    }

    // Whichever way a row comes in, each value reads back exactly as the
    // table's conversion made it, and a stored value exactly as it was.
    void everyValueReadsBackAsStored()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        Table t("t", everyType());
        const int f = t.fieldIndex(field);
        const QVariant expected = normaliseFieldValue(t.fields().at(f), value);
        Table::Row row(t.fields().size());
        row[f] = value;

        const auto check = [&](const QVariant &got, const char *how) {
            if (!sameValue(got, expected))
                QFAIL(qPrintable(
                    QStringLiteral("%1: %2 instead of %3").arg(QLatin1String(how), describe(got), describe(expected))));
        };
        t.appendRow(row);
        t.first();
        check(t.value(f), "appended");
        check(t.visibleValue(0, f), "visible");
        check(t.allRows().front().at(f), "view");
        check(Table::Row(t.allRows().front()).at(f), "copied");

        t.edit();
        check(t.value(f), "editing");
        t.post();
        check(t.value(f), "posted again");

        t.clear();
        t.insert();
        t.setValue(f, value);
        t.post();
        check(t.value(f), "inserted");

        t.setAllRows({row, row});
        check(t.visibleValue(1, f), "loaded");

        Table::Row stored(t.fields().size());
        stored[f] = expected;
        Table scratch("t", everyType());
        scratch.scratchStore().appendRow(stored);
        t.setStoredRowsFrom(scratch);
        check(t.visibleValue(0, f), "stored");
    }

    void valuesInNoFieldFormReadBackWhole_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text in an integer") << "count" << QVariant(QStringLiteral("x"));
        QTest::newRow("long in money") << "money" << QVariant(qlonglong(5));
        QTest::newRow("number in a text") << "text" << QVariant(12);
        QTest::newRow("date in a date-time") << "when" << QVariant(QDate(2024, 1, 1));
        QTest::newRow("local date-time") << "when" << QVariant(QDateTime(QDate(2024, 1, 1), QTime(1, 2)));
    }

    // Rows given as already stored keep a value of another type as it is.
    void valuesInNoFieldFormReadBackWhole()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        Table t("t", everyType());
        const int f = t.fieldIndex(field);
        Table::Row row(t.fields().size());
        row[f] = value;
        Table scratch("t", everyType());
        scratch.scratchStore().appendRow(row);
        scratch.scratchStore().appendRow(Table::Row(t.fields().size()));
        t.setStoredRowsFrom(scratch);
        QVERIFY2(sameValue(t.visibleValue(0, f), value), qPrintable(describe(t.visibleValue(0, f))));
        QVERIFY(!t.visibleValue(1, f).isValid());
        t.first();
        t.remove();
        QVERIFY(!t.visibleValue(0, f).isValid());
        scratch.scratchStore().appendRow(row);
        t.setStoredRowsFrom(scratch);
        QVERIFY2(sameValue(t.visibleValue(0, f), value), qPrintable(describe(t.visibleValue(0, f))));
    }

    void sharedTextChangesInOneRowOnly_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("first, loaded") << 0 << true;
        QTest::newRow("middle, loaded") << 1 << true;
        QTest::newRow("last, loaded") << 2 << true;
        QTest::newRow("first, entered") << 0 << false;
        QTest::newRow("middle, entered") << 1 << false;
        QTest::newRow("last, entered") << 2 << false;
    }

    // Rows holding one text (read once from a file, or typed alike) each
    // keep their own: a change, a deletion or a new row in one leaves the others.
    void sharedTextChangesInOneRowOnly()
    {
        QFETCH(int, row);
        QFETCH(bool, loaded);
        Plan plan;
        Table &items = plan.items();
        const QString weekly = QStringLiteral("Weekly");
        if (loaded) {
            Plan scratch;
            for (const char *name : {"A", "B", "C"})
                scratch.items().scratchStore().appendRow(
                    {QString::fromLatin1(name), weekly, 1.0, "Home", "E", QVariant()});
            items.setStoredRowsFrom(scratch.items());
        } else {
            for (const char *name : {"A", "B", "C"})
                addItem(items, QString::fromLatin1(name), "Home", "E", 1, weekly);
        }
        QCOMPARE(visibleItems(items, "freq"), QStringList({"Weekly", "Weekly", "Weekly"}));

        items.goTo(row);
        items.edit();
        items.setValue("freq", "Monthly");
        items.setValue("cat", "House");
        items.post();
        QStringList freqs{"Weekly", "Weekly", "Weekly"};
        freqs[row] = "Monthly";
        QStringList cats{"Home", "Home"};
        cats.append("House"); // the changed row moves to the end of the order
        QCOMPARE(visibleItems(items, "cat"), cats);
        QCOMPARE(items.asString("freq"), QString("Monthly"));
        QCOMPARE(visibleItems(items, "freq"), QStringList({"Weekly", "Weekly", "Monthly"}));

        // The rows left still read the text after the changed one is gone,
        // and a row entered beside them shares nothing it can change.
        items.goTo(2);
        items.remove();
        QCOMPARE(visibleItems(items, "freq"), QStringList({"Weekly", "Weekly"}));
        addItem(items, "AB", "Home", "E", 1, weekly);
        items.goTo(1);
        items.edit();
        items.setValue("freq", "Yearly");
        items.post();
        QCOMPARE(visibleItems(items, "freq"), QStringList({"Weekly", "Yearly", "Weekly"}));
        QCOMPARE(weekly, QString("Weekly"));
    }

    void editBufferIsTheRowsOwn_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("name") << "item" << QVariant("Rent");
        QTest::newRow("name emptied") << "item" << QVariant("");
        QTest::newRow("frequency") << "freq" << QVariant("Monthly");
        QTest::newRow("amount") << "amount" << QVariant(99.5);
        QTest::newRow("amount cleared") << "amount" << QVariant();
        QTest::newRow("notes") << "notes" << QVariant("paid");
    }

    // What is typed while editing is seen through the cursor only; cancel
    // leaves the stored row as it was and post stores it in this row alone.
    void editBufferIsTheRowsOwn()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        Plan plan;
        Table &items = plan.items();
        addItem(items, "Gas", "Home", "E", 5, "Weekly");
        addItem(items, "Water", "Home", "E", 5, "Weekly");
        const int f = items.fieldIndex(field);
        items.first();
        const Table::Row before = items.visibleRow(0);
        const Table::Row other = items.visibleRow(1);
        const QVariant expected = normaliseFieldValue(items.fields().at(f), value);

        items.edit();
        items.setValue(field, value);
        QVERIFY(sameValue(items.value(f), expected));
        QVERIFY(sameValue(items.visibleValue(0, f), before.at(f)));
        items.cancel();
        QVERIFY(sameValue(items.value(f), before.at(f)));
        for (int i = 0; i < before.size(); ++i) {
            QVERIFY(sameValue(items.visibleValue(0, i), before.at(i)));
            QVERIFY(sameValue(items.visibleValue(1, i), other.at(i)));
        }

        items.edit();
        items.setValue(field, value);
        items.post();
        const int at = items.currentRow();
        QVERIFY(sameValue(items.visibleValue(at, f), expected));
        QVERIFY(sameValue(items.visibleValue(1 - at, f), other.at(f)));
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "tst_table.moc"
