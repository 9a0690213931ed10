#include "plan/Csv.h"
#include "plan/PlanCsv.h"
#include "plan/CalendarTime.h"

#include <QtTest>

// The CSV text of the command-line tool: reading RFC 4180 records, and the
// value texts that must read back as the very same values.
class TestPlanCsv : public QObject
{
    Q_OBJECT

    // Records as "cell|cell" with a quoted cell marked by surrounding <>.
    static QStringList flatten(const std::vector<Csv::Record> &records)
    {
        QStringList out;
        for (const Csv::Record &record : records) {
            QStringList cells;
            for (const Csv::Cell &cell : record.cells)
                cells << (cell.quoted ? "<" + cell.text + ">" : cell.text);
            out << QString::number(record.line) + ":" + cells.join(u'|');
        }
        return out;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("records"); // line:cells
        QTest::newRow("CR LF") << QByteArray("a,b\r\nc,d\r\n") << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("LF, no final line end") << QByteArray("a,b\nc,d") << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("bare CR") << QByteArray("a,b\rc,d\r") << QStringList{"1:a|b", "2:c|d"};
        QTest::newRow("empty cells") << QByteArray(",\n,x,\n") << QStringList{"1:|", "2:|x|"};
        QTest::newRow("quoted empty") << QByteArray("\"\",a\n") << QStringList{"1:<>|a"};
        QTest::newRow("comma and quote inside")
            << QByteArray("\"a,b\",\"say \"\"hi\"\"\"\n") << QStringList{"1:<a,b>|<say \"hi\">"};
        QTest::newRow("line breaks kept as written")
            << QByteArray("\"x\r\ny\nz\",b\r\nnext,c\r\n") << QStringList{"1:<x\r\ny\nz>|b", "4:next|c"};
        QTest::newRow("blank lines skipped") << QByteArray("a\r\n\r\nb\n\n") << QStringList{"1:a", "3:b"};
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFitem,x\n") << QStringList{"1:item|x"};
    }
    void parse()
    {
        QFETCH(QByteArray, data);
        std::vector<Csv::Record> records;
        Csv::ParseError error;
        QVERIFY2(Csv::parse(data, records, error), qPrintable(error.message));
        QTEST(flatten(records), "records");
    }

    void parseErrors_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("quote never closed") << QByteArray("a\n\"b\nc\nd") << 2 << "a quoted cell is never closed";
        QTest::newRow("quote inside a plain cell") << QByteArray("a\r\nb\"c\r\n") << 2
                                                   << "a double quote inside a cell that does not start with one "
                                                      "(enclose the cell in quotes and double the quote)";
        QTest::newRow("text after closing quote")
            << QByteArray("\"x\ny\"z,1\n") << 2 << "text after the closing quote of a cell";
        QTest::newRow("not UTF-8") << QByteArray("a\r\nb\r\n\xFF\r\n") << 3 << "the file is not UTF-8 text";
    }
    void parseErrors()
    {
        QFETCH(QByteArray, data);
        std::vector<Csv::Record> records;
        Csv::ParseError error;
        QVERIFY(!Csv::parse(data, records, error));
        QTEST(error.line, "line");
        QTEST(error.message, "message");
    }

    // Each value is written as `text` and reads back exactly equal.
    void valueText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("quoted");
        const int money = int(FieldType::Money), real = int(FieldType::Real), integer = int(FieldType::Integer),
                  date = int(FieldType::DateTime), text = int(FieldType::Text), memo = int(FieldType::Memo);
        QTest::newRow("money") << money << QVariant(1234.5678) << "1234.5678" << false;
        QTest::newRow("money tenth") << money << QVariant(0.1) << "0.1" << false;
        QTest::newRow("negative money") << money << QVariant(-0.0001) << "-0.0001" << false;
        QTest::newRow("large money") << money << QVariant(99999999.9999) << "99999999.9999" << false;
        QTest::newRow("real needing 17 digits") << real << QVariant(0.1 + 0.2) << "0.30000000000000004" << false;
        QTest::newRow("tiny real") << real << QVariant(1e-7) << "0.0000001" << false;
        QTest::newRow("integer") << integer << QVariant(-7) << "-7" << false;
        QTest::newRow("date at midnight")
            << date << QVariant(CalendarTime::at(QDate(2024, 3, 1))) << "2024-03-01" << false;
        QTest::newRow("date with time") << date << QVariant(CalendarTime::at(QDate(2024, 3, 1), QTime(13, 45, 7, 123)))
                                        << "2024-03-01T13:45:07.123" << false;
        QTest::newRow("one millisecond") << date << QVariant(CalendarTime::at(QDate(999, 12, 31), QTime(0, 0, 0, 1)))
                                         << "0999-12-31T00:00:00.001" << false;
        QTest::newRow("empty text") << text << QVariant(QString("")) << "" << true;
        QTest::newRow("memo") << memo << QVariant(QString("a,\"b\"\r\nc")) << "a,\"b\"\r\nc" << false;
        for (int type : {money, real, integer, date, text, memo})
            QTest::addRow("null %d", type) << type << QVariant() << "" << false;
    }
    void valueText()
    {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        const FieldDef field{"f", FieldType(type), 50, {}};
        const Csv::Cell cell = PlanCsv::cellFor(field, value);
        QTEST(cell.text, "text");
        QTEST(cell.quoted, "quoted");

        QVariant back;
        QCOMPARE(PlanCsv::valueFor(field, cell, back), QString());
        QCOMPARE(back.isNull(), value.isNull());
        QCOMPARE(back.typeId(), value.typeId());
        if (value.typeId() == QMetaType::Double) // exactly, not within a tolerance
            QCOMPARE(QString::number(back.toDouble(), 'g', 17), QString::number(value.toDouble(), 'g', 17));
        else
            QCOMPARE(back, value);
    }

    void dateForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: refused
        const QDate d(2024, 3, 1);
        QTest::newRow("date") << "2024-03-01" << CalendarTime::at(d);
        QTest::newRow("tenths") << "2024-03-01T07:05:09.5" << CalendarTime::at(d, QTime(7, 5, 9, 500));
        QTest::newRow("one-digit month") << "2024-3-01" << QDateTime();
        QTest::newRow("day first") << "01/03/2024" << QDateTime();
        QTest::newRow("time zone") << "2024-03-01T07:05:09Z" << QDateTime();
        QTest::newRow("29 February of a common year") << "2023-02-29" << QDateTime();
    }
    void dateForms()
    {
        QFETCH(QString, text);
        QTEST(PlanCsv::dateTimeFromText(text), "expected");
    }
};

QTEST_GUILESS_MAIN(TestPlanCsv)
#include "tst_plancsv.moc"
