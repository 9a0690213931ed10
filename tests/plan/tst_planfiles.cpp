#include "TestFiles.h"

#include "plan/DataPacket.h"
#include "plan/IniFile.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>

// Plan files: the packet layout, round trips of every field type, the file
// family, failed saves, and the settings file.
class TestPlanFiles : public QObject
{
    Q_OBJECT

    // A plan holding every field type, with values at their edges.
    static void fill(Plan &p)
    {
        const QString wide = QString::fromUtf8("Ünïcödé €uro ").repeated(4).left(50);
        p.items().appendRow({wide, "Weekly", 0.1, QString::fromUtf8("Café"), "E",
                             QString::fromUtf8("line one\r\nline \"two\", 'three'\n\tend ✓")});
        p.items().appendRow({"Wage", "Monthly", 123456789.0001, "Work", "I", QVariant()});
        p.items().appendRow({"", "Daily", -0.0001, "Work", "I", ""});
        p.categories().appendRow({QString::fromUtf8("Mum's Café"), "E"});
        p.categories().appendRow({"Work", "I"});
        p.savings().appendRow({"Boat", 1000.5, QDateTime(QDate(2026, 3, 1), QTime(0, 0)),
                               QDateTime(QDate(2027, 2, 28), QTime(23, 59, 59, 999)), "Weekly", 19.2406});
        p.savings().appendRow({"Empty dates", 1, QVariant(), QVariant(), "Daily", 1});
        p.loans().appendRow({"Car", "Bank \"North\"", 25000, 512.34, "Monthly",
                             QDateTime(QDate(1999, 12, 31), QTime(0, 0)), 30,
                             QDateTime(QDate(2029, 12, 31), QTime(0, 0)), 7.123456789012345});
        p.loans().appendRow({"Old", "", 1, 1, "Yearly", QDateTime(QDate(1, 1, 1), QTime(0, 0)), 100,
                             QDateTime(QDate(9999, 12, 31), QTime(12, 0)), -0.5});
        p.reminders().appendRow({"E", QString::fromUtf8("Mum's Café"), "Electricity and gas", 31, "pay", 12});
        p.reminders().appendRow({"I", "Work", "Wage", 1, QString(50, 'x'), 1});
    }

    static void compareTables(const Table &a, const Table &b)
    {
        QCOMPARE(b.totalRowCount(), a.totalRowCount());
        for (int r = 0; r < a.totalRowCount(); ++r) {
            const Table::Row &x = a.allRows()[static_cast<size_t>(r)];
            const Table::Row &y = b.allRows()[static_cast<size_t>(r)];
            for (int f = 0; f < x.size(); ++f) {
                QCOMPARE(y.at(f).isNull(), x.at(f).isNull());
                if (a.fields().at(f).type == FieldType::Money || a.fields().at(f).type == FieldType::Real)
                    QCOMPARE(y.at(f).toDouble(), x.at(f).toDouble()); // bit for bit below
                QCOMPARE(y.at(f), x.at(f));
            }
        }
    }

private slots:
    void emptyItemsFileIsTheKnownPacket()
    {
        Plan plan;
        const QByteArray expected =
            QByteArray::fromHex("9619e0bd010000001800000006000000000003000000ce00046974656d010049"
                                "0000000100055749445448020002003200046672657101004900000001000557"
                                "49445448020002000b0006616d6f756e74080004000000010007535542545950"
                                "450200490006004d6f6e65790003636174010049000000010005574944544802"
                                "0002001400056361746964010049000000010005574944544802000200010005"
                                "6e6f74657304004b000000020007535542545950450200490005005465787400"
                                "0557494454480200020058020000");
        QCOMPARE(expected.size(), 206);
        QCOMPARE(DataPacket::write(plan.items()), expected);
    }

    void remindersFileCarriesItsOrder()
    {
        Plan plan;
        const QByteArray packet = DataPacket::write(plan.reminders());
        QVERIFY(packet.contains(QByteArray("\x0d"
                                           "DEFAULT_ORDER"
                                           "\x02\x00\x82\x00\x04\x00\x00\x00"
                                           "\x02\x00\x03\x00\x06\x00\x04\x00",
                                           30)));
        QCOMPARE(static_cast<quint8>(packet.at(12)), quint8(6));
        // Its metadata size (offset 22) is the whole packet when it has no rows.
        QCOMPARE(static_cast<quint8>(packet.at(22)) | (static_cast<quint8>(packet.at(23)) << 8), int(packet.size()));
    }

    void everyFieldRoundTrips()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        Plan plan;
        fill(plan);
        PlanFiles::savePlanTables(plan, file);
        for (const QString suffix : {"", "ln", "sv", "cat", "rem"})
            QVERIFY2(QFile::exists(file + suffix), qPrintable(suffix));
        QVERIFY(!QFile::exists(file + "ini"));

        Plan back;
        PlanFiles::loadPlan(back, file);
        compareTables(plan.items(), back.items());
        compareTables(plan.categories(), back.categories());
        compareTables(plan.savings(), back.savings());
        compareTables(plan.loans(), back.loans());
        compareTables(plan.reminders(), back.reminders());

        // Writing the loaded plan gives the same bytes again.
        PlanFiles::savePlanTables(back, dir.filePath("again.pkb"));
        for (const QString suffix : {"", "ln", "sv", "cat", "rem"})
            QCOMPARE(readAll(dir.filePath("again.pkb") + suffix), readAll(file + suffix));
    }

    void loadingKeepsFiltersAndFollowsTheKey()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("p.pkb");
        Plan plan;
        fill(plan);
        PlanFiles::savePlanTables(plan, file);
        Plan back;
        PlanFiles::loadPlan(back, file);
        QVERIFY(back.categories().isFiltered());
        QCOMPARE(back.categories().rowCount(), 1); // only the income category shows
        QCOMPARE(back.items().allRows().front().at(3).toString(), QString::fromUtf8("Café"));
    }

    void missingSiblingsLeaveTablesEmpty()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("items-only.pkb");
        Plan plan;
        fill(plan);
        PlanFiles::saveTable(plan.items(), file);
        Plan back;
        back.loans().appendRow({"Leftover"});
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), 3);
        QCOMPARE(back.loans().totalRowCount(), 0);
        QCOMPARE(back.reminders().totalRowCount(), 0);
    }

    void badSiblingIsRefusedNamingItAndChangesNothing_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QTest::newRow("not a packet") << "cat" << QByteArray("[freqvalue]\r\n0=2\r\n[more]\r\nkey=value\r\n")
                                      << "signature";
        QTest::newRow("empty file") << "rem" << QByteArray() << "too short";
        QTest::newRow("another table's packet") << "ln" << QByteArray("items") << "fields";
        QTest::newRow("truncated") << "" << QByteArray("truncate") << "past the end";
        QTest::newRow("extra bytes") << "sv" << QByteArray("append") << "follow the last row";
    }

    void badSiblingIsRefusedNamingItAndChangesNothing()
    {
        QFETCH(QString, suffix);
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString file = dir.filePath("bad.pkb");
        Plan plan;
        fill(plan);
        PlanFiles::savePlanTables(plan, file);
        QByteArray bytes = content;
        if (content == "items")
            bytes = readAll(file);
        else if (content == "truncate")
            bytes = readAll(file + suffix).chopped(3);
        else if (content == "append")
            bytes = readAll(file + suffix) + "xyz";
        writeFile(file + suffix, bytes);

        Plan target;
        target.items().appendRow({"Keep", "Daily", 1, "Mine", "E"});
        try {
            PlanFiles::loadPlan(target, file);
            QFAIL("the bad file was accepted");
        } catch (const FileFormatError &e) {
            QCOMPARE(e.fileName(), file + suffix);
            QVERIFY2(e.message().contains(file + suffix), qPrintable(e.message()));
            QVERIFY2(e.message().contains(why), qPrintable(e.message()));
        }
        QCOMPARE(target.items().totalRowCount(), 1);
        QCOMPARE(target.items().allRows().front().at(0).toString(), QString("Keep"));
    }

    void duplicateKeysInAFileAreRefused()
    {
        // Two rows with one key cannot come from this program; they are
        // refused rather than silently merged.
        QTemporaryDir dir;
        Plan plan;
        plan.items().appendRow({"A", "Daily", 1, "X", "E"});
        QByteArray packet = DataPacket::write(plan.items());
        const QByteArray header = packet.left(206);
        QByteArray row = packet.mid(206);
        packet = header + row + row;
        packet[14] = 2;
        writeFile(dir.filePath("dup.pkb"), packet);
        Plan back;
        QVERIFY_THROWS_EXCEPTION(FileFormatError, PlanFiles::loadPlan(back, dir.filePath("dup.pkb")));
    }

    void rowsOfAFileComeInTheTablesOrder_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<QStringList>>("rows"); // the texts of each row, in the file's order
        QTest::addColumn<QString>("error"); // part of the message; empty when it loads
        QTest::newRow("items in order") << "cds_budget" << QList<QStringList>{{"A", "Home", "E"}, {"B", "Home", "E"}}
                                        << "";
        QTest::newRow("items out of order")
            << "cds_budget" << QList<QStringList>{{"B", "Work", "I"}, {"A", "Home", "E"}, {"C", "Home", "E"}} << "";
        QTest::newRow("one key twice") << "cds_budget" << QList<QStringList>{{"A", "Home", "E"}, {"A", "Home", "E"}}
                                       << "two rows with cds_budgetIndex1 = 'Home;E;A'";
        QTest::newRow("one key twice, out of order")
            << "cds_budget" << QList<QStringList>{{"A", "Work", "E"}, {"A", "Home", "E"}, {"A", "Work", "E"}}
            << "two rows with cds_budgetIndex1 = 'Work;E;A'";
        QTest::newRow("reminders alike, out of order")
            << "cds_remind"
            << QList<QStringList>{{"Work", "Wage", "second"}, {"Home", "Rent", "only"}, {"Work", "Wage", "first"}}
            << "";
    }

    // A file's rows take the table's order, a key that comes twice is
    // refused and the table keeps what it had; each value reads back as the
    // same rows given to the table directly.
    void rowsOfAFileComeInTheTablesOrder()
    {
        QFETCH(QString, table);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, error);
        QTemporaryDir dir;
        std::unique_ptr<Table> loose(Plan::createTable(table));
        Table file(table, loose->fields()); // no order: the rows as listed
        std::vector<Table::Row> given;
        for (const QStringList &r : rows) {
            Table::Row row(file.fields().size());
            if (table == "cds_budget")
                row = {r.at(0), "Weekly", 2.5, r.at(1), r.at(2), QVariant()};
            else
                row = {"E", r.at(0), r.at(1), 3, r.at(2), 7};
            file.appendRow(row);
            given.push_back(row);
        }
        const QString path = dir.filePath("rows.pkb");
        writeFile(path, DataPacket::write(file));

        std::unique_ptr<Table> loaded(Plan::createTable(table));
        loaded->appendRow(given.front());
        if (!error.isEmpty()) {
            try {
                PlanFiles::loadTable(*loaded, path);
                QFAIL("the file loaded");
            } catch (const FileFormatError &e) {
                QVERIFY2(e.message().contains(error), qPrintable(e.message()));
            }
            QCOMPARE(loaded->totalRowCount(), 1);
            return;
        }
        PlanFiles::loadTable(*loaded, path);
        std::unique_ptr<Table> direct(Plan::createTable(table));
        direct->setAllRows(given);
        compareTables(*direct, *loaded);
    }

    void aFolderThatDoesNotExist()
    {
        QTemporaryDir dir;
        Plan plan;
        fill(plan);
        QVERIFY_THROWS_EXCEPTION(FileWriteError, PlanFiles::savePlanTables(plan, dir.filePath("no/such/folder/p.pkb")));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void settingsFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("home.pkbini");
        QCOMPARE(PlanFiles::readDisplayFrequencyText(ini), QString("ERROR"));
        PlanFiles::writeDisplayFrequency(ini, 3);
        QCOMPARE(readAll(ini), QByteArray("[freqvalue]\r\n0=3\r\n"));
        QCOMPARE(PlanFiles::displayFrequencyFromText(PlanFiles::readDisplayFrequencyText(ini)), 3);

        for (const QString text : {"ERROR", "", "two", "2.5"}) {
            try {
                PlanFiles::displayFrequencyFromText(text);
                QFAIL("accepted");
            } catch (const PlanFileError &e) {
                QCOMPARE(e.message(), "'" + text + "' is not a valid integer value");
            }
        }
    }

    void iniFileKeepsWhatItDoesNotWrite()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("cfgpk.ini");
        writeFile(path,
                  "; settings\n[Options]\nhints=True\nName=Mum's \"plan\" % 50\n\n[FreqValue]\n0 = 1\n[Last]\nx=1");
        QCOMPARE(IniFile::read(path, "options", "HINTS", "ERROR"), QString("True"));
        QCOMPARE(IniFile::read(path, "Options", "Name", "ERROR"), QString("Mum's \"plan\" % 50"));
        QCOMPARE(IniFile::read(path, "freqvalue", "0", "ERROR"), QString("1"));
        QCOMPARE(IniFile::read(path, "Options", "missing", "ERROR"), QString("ERROR"));

        IniFile::write(path, "freqvalue", "0", "4");
        IniFile::write(path, "Options", "tips", "false");
        IniFile::write(path, "New Section", "k", "v");
        QCOMPARE(readAll(path),
                 QByteArray("; settings\r\n[Options]\r\nhints=True\r\nName=Mum's \"plan\" % 50\r\n"
                            "tips=false\r\n\r\n[FreqValue]\r\n0=4\r\n[Last]\r\nx=1\r\n"
                            "[New Section]\r\nk=v\r\n"));
    }

    // A file written elsewhere may hold values the table would not store as
    // they are: opening it stores them as an insert would, or refuses the
    // file with the table's own message.
    void valuesAreStoredAsTheTableStoresThem_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QVariant>("item");
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QString>("error");
        const QByteArray name = QByteArray("\x32\0\0\0", 4) + QByteArray(50, 'N'); // the item's full width
        const auto number = [](double d) { return QByteArray(reinterpret_cast<const char *>(&d), 8); };
        QTest::newRow("text past its width is cut") << name << QByteArray("\x37\0\0\0", 4) + QByteArray(55, 'N')
                                                    << QVariant(QString(50, 'N')) << QVariant(1.5) << QString();
        QTest::newRow("text within its width is kept")
            << name << QByteArray("\x03\0\0\0", 4) + "abc" << QVariant(QString("abc")) << QVariant(1.5) << QString();
        QTest::newRow("empty text is empty")
            << name << QByteArray("\0\0\0\0", 4) << QVariant(QString()) << QVariant(1.5) << QString();
        QTest::newRow("money to four decimals")
            << number(1.5) << number(2.123456) << QVariant(QString(50, 'N')) << QVariant(2.1235) << QString();
        QTest::newRow("money that is no number")
            << number(1.5) << number(std::numeric_limits<double>::quiet_NaN()) << QVariant() << QVariant()
            << QString("'nan' is not a valid number value for field 'amount'");
    }

    void valuesAreStoredAsTheTableStoresThem()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QVariant, item);
        QFETCH(QVariant, amount);
        QFETCH(QString, error);
        Plan plan;
        plan.items().appendRow({QString(50, 'N'), "Weekly", 1.5, "Home", "E"});
        QByteArray packet = DataPacket::write(plan.items());
        QCOMPARE(packet.count(from), 1);
        packet.replace(from, to);
        QTemporaryDir dir;
        const QString file = dir.filePath("odd.pkb");
        writeFile(file, packet);

        Plan loaded;
        try {
            PlanFiles::loadTable(loaded.items(), file);
            QVERIFY2(error.isEmpty(), "the file was taken");
        } catch (const FileFormatError &e) {
            QCOMPARE(e.message(), QString("\"%1\" is not a valid plan file: %2").arg(file, error));
            QCOMPARE(loaded.items().totalRowCount(), 0);
            return;
        }
        QCOMPARE(loaded.items().totalRowCount(), 1);
        const Table::Row &row = loaded.items().allRows().front();
        QCOMPARE(row.at(0).toString(), item.toString());
        QCOMPARE(row.at(0).isNull(), item.isNull());
        QCOMPARE(row.at(2), amount);
        // Written again as a table that took the values by insert would write them.
        Plan inserted;
        inserted.items().appendRow({row.at(0), "Weekly", amount, "Home", "E"});
        QCOMPARE(DataPacket::write(loaded.items()), DataPacket::write(inserted.items()));
    }
};

QTEST_GUILESS_MAIN(TestPlanFiles)
#include "tst_planfiles.moc"
