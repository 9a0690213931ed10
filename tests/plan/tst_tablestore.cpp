#include "plan/CalendarTime.h"
#include "plan/TableStore.h"

#include <cmath>
#include <functional>
#include <limits>
#include <QTest>

// The rows of a table as the store keeps them: what goes in comes back as it
// was, whichever way it went in and whatever happened to the rows around it.
class TestTableStore : public QObject
{
    Q_OBJECT

private:
    using Row = TableStore::Row;

    static QList<FieldDef> fields()
    {
        return {{"text", FieldType::Text, 10, {}},    {"memo", FieldType::Memo, 0, {}},
                {"money", FieldType::Money, 0, {}},   {"when", FieldType::DateTime, 0, {}},
                {"count", FieldType::Integer, 0, {}}, {"rate", FieldType::Real, 0, {}}};
    }

    // The same value in every way a caller can tell: type, null, text null.
    static bool sameValue(const QVariant &a, const QVariant &b)
    {
        if (a.isValid() != b.isValid() || a.typeId() != b.typeId() || a.isNull() != b.isNull())
            return false;
        if (a.typeId() == QMetaType::QString)
            return a.toString().isNull() == b.toString().isNull() && a.toString() == b.toString();
        if (a.typeId() == QMetaType::QDateTime)
            return a.toDateTime().timeSpec() == b.toDateTime().timeSpec() && a.toDateTime() == b.toDateTime()
                && a.toDateTime().time() == b.toDateTime().time();
        if (a.typeId() == QMetaType::Double)
            return std::signbit(a.toDouble()) == std::signbit(b.toDouble())
                && (a.toDouble() == b.toDouble() || (std::isnan(a.toDouble()) && std::isnan(b.toDouble())));
        return a == b;
    }

    static void compareRows(const TableStore &store, const std::vector<Row> &expected)
    {
        QCOMPARE(store.rowCount(), expected.size());
        for (size_t r = 0; r < expected.size(); ++r)
            for (int f = 0; f < store.fieldCount(); ++f)
                QVERIFY2(sameValue(store.value(r, f), expected[r].value(f)),
                         qPrintable(QStringLiteral("row %1 field %2: %3 instead of %4")
                                        .arg(r)
                                        .arg(f)
                                        .arg(store.value(r, f).toString(), expected[r].value(f).toString())));
    }

    static Row rowOf(const QString &text, double money = 1.0)
    {
        return {text, QString("memo " + text), money, CalendarTime::at(QDate(2024, 9, 8)), 3, 0.5};
    }

private slots:
    void valuesReadBackAsPut_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text") << 0 << QVariant(QStringLiteral("Rent"));
        QTest::newRow("null text") << 0 << QVariant(QString());
        QTest::newRow("empty text") << 1 << QVariant(QStringLiteral(""));
        QTest::newRow("no value") << 2 << QVariant();
        QTest::newRow("negative zero") << 2 << QVariant(-0.0);
        QTest::newRow("not a number") << 5 << QVariant(std::numeric_limits<double>::quiet_NaN());
        QTest::newRow("calendar date") << 3 << QVariant(CalendarTime::at(QDate(2024, 9, 8)));
        QTest::newRow("before the common era") << 3 << QVariant(CalendarTime::at(QDate(-40, 3, 1), QTime(23, 59)));
        QTest::newRow("lowest integer") << 4 << QVariant(std::numeric_limits<int>::min());
        // Values in no field's own form are kept whole.
        QTest::newRow("number in a text") << 0 << QVariant(12);
        QTest::newRow("text in an integer") << 4 << QVariant(QStringLiteral("x"));
        QTest::newRow("long in money") << 2 << QVariant(qlonglong(5));
        QTest::newRow("date in a date-time") << 3 << QVariant(QDate(2024, 1, 1));
        QTest::newRow("local date-time") << 3 << QVariant(QDateTime(QDate(2024, 1, 1), QTime(1, 2)));
    }

    // Whichever way a value goes in, between neighbours that hold others.
    void valuesReadBackAsPut()
    {
        QFETCH(int, field);
        QFETCH(QVariant, value);
        Row row = rowOf("Mid");
        row[field] = value;
        const std::vector<Row> expected{rowOf("A"), row, rowOf("Z")};

        TableStore appended(fields());
        for (const Row &r : expected)
            appended.appendRow(r);
        compareRows(appended, expected);
        QCOMPARE(appended.row(1).size(), fields().size());

        TableStore setOneByOne(fields());
        for (const Row &r : expected) {
            setOneByOne.beginRow();
            for (int f = 0; f < r.size(); ++f)
                setOneByOne.setValue(f, r.at(f));
        }
        compareRows(setOneByOne, expected);

        TableStore inserted(fields());
        inserted.insertRow(0, expected[2]);
        inserted.insertRow(0, expected[0]);
        inserted.insertRow(1, expected[1]);
        compareRows(inserted, expected);

        TableStore replaced(fields());
        std::vector<Row> copies{rowOf("A"), rowOf("B"), rowOf("Z")};
        replaced.assign(copies);
        replaced.replaceRow(1, row);
        compareRows(replaced, expected);

        const TableStore copy(replaced);
        replaced.clear();
        compareRows(copy, expected);
    }

    // Rows holding one text each read their own: a change, a deletion or a
    // new row in one leaves the others, and a copy keeps its texts whatever
    // the original does.
    void textsSharedInThePoolStayEachRowsOwn()
    {
        const QString weekly = QStringLiteral("Weekly"); // one text read once for many rows
        TableStore store(fields());
        for (int i = 0; i < 3; ++i) {
            store.beginRow();
            store.setText(0, weekly);
            store.setNumber(2, i);
        }
        QCOMPARE(store.text(0, 0), store.text(2, 0));
        QCOMPARE(*store.text(1, 0), weekly);
        const TableStore copy(store);

        store.replaceRow(1, rowOf("Monthly"));
        QCOMPARE(*store.text(0, 0), weekly);
        QCOMPARE(*store.text(1, 0), QString("Monthly"));
        QCOMPARE(*store.text(2, 0), weekly);
        store.eraseRows({0, 2}); // the last holders of "Weekly": its pool place is free
        store.insertRow(0, rowOf("Yearly"));
        store.appendRow(rowOf("Daily"));
        QCOMPARE(*store.text(0, 0), QString("Yearly"));
        QCOMPARE(*store.text(1, 0), QString("Monthly"));
        QCOMPARE(*store.text(2, 0), QString("Daily"));
        QCOMPARE(weekly, QString("Weekly"));

        QCOMPARE(copy.rowCount(), size_t(3));
        for (size_t r = 0; r < 3; ++r) {
            QCOMPARE(*copy.text(r, 0), weekly);
            QCOMPARE(copy.value(r, 2).toDouble(), double(r));
        }
        // Text fields only: a number has no stored text.
        QVERIFY(!copy.text(0, 2));
        const QString *column[3];
        copy.columnTexts(0, 0, 3, column);
        QCOMPARE(column[0], copy.text(0, 0));
        QCOMPARE(column[2], copy.text(2, 0));
    }

    // What an undo does: rows removed from their places and put back there
    // read exactly as before, odd values and shared texts included.
    void rowsPutBackAsTheyWere()
    {
        std::vector<Row> rows;
        for (int i = 0; i < 8; ++i)
            rows.push_back(rowOf(i % 2 ? QStringLiteral("Odd") : QStringLiteral("Even"), i));
        rows[3][4] = QStringLiteral("not a number"); // an odd value
        rows[5][3] = QDate(2024, 2, 29); // another
        const std::vector<Row> before = rows;
        TableStore store(fields());
        store.assign(rows);

        const std::vector<quint32> at{0, 3, 5, 7};
        std::vector<Row> going;
        for (quint32 i : at)
            going.push_back(store.row(i));
        store.eraseRows(at);
        compareRows(store, {before[1], before[2], before[4], before[6]});
        // Places freed by the removed rows are taken by new values meanwhile.
        store.replaceRow(0, rowOf("Other", 99));
        store.replaceRow(0, before[1]);

        store.insertRows(at, going);
        compareRows(store, before);
    }

    // A place past the end or out of order is refused and changes nothing.
    void placesOutOfRangeAreRefused()
    {
        const std::vector<Row> rows{rowOf("A"), rowOf("B")};
        TableStore store(fields());
        for (const Row &r : rows)
            store.appendRow(r);
        const std::vector<std::pair<const char *, std::function<void()>>> refused{
            {"row past the end", [&] { store.row(2); }},
            {"insert past the end", [&] { store.insertRow(3, rowOf("C")); }},
            {"rows past the end",
             [&] {
                 store.insertRows({0, 4}, {rowOf("C"), rowOf("D")});
             }},
            {"rows out of order",
             [&] {
                 store.insertRows({1, 0}, {rowOf("C"), rowOf("D")});
             }},
            {"rows without places",
             [&] {
                 store.insertRows({0}, {rowOf("C"), rowOf("D")});
             }},
            {"replace past the end", [&] { store.replaceRow(2, rowOf("C")); }},
            {"erase past the end",
             [&] {
                 store.eraseRows({0, 2});
             }},
            {"erase out of order",
             [&] {
                 store.eraseRows({1, 0});
             }},
            {"value of no field", [&] { store.setInteger(6, 1); }},
        };
        for (const auto &[what, change] : refused) {
            bool thrown = false;
            try {
                change();
            } catch (const std::out_of_range &) {
                thrown = true;
            }
            QVERIFY2(thrown, what);
            compareRows(store, rows);
            if (QTest::currentTestFailed()) {
                qWarning("after: %s", what);
                return;
            }
        }

        TableStore empty(fields());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, empty.setText(0, "A"));
        QCOMPARE(empty.rowCount(), size_t(0));
        TableStore other({{"text", FieldType::Text, 10, {}}});
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, store.take(other));
        compareRows(store, rows);
        store.take(empty);
        QCOMPARE(store.rowCount(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestTableStore)
#include "tst_tablestore.moc"
