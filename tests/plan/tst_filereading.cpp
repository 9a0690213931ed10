// What the readers take in from files that a person or another program put in
// place: only regular files, with a bound, and only values a plan can hold.
#include "TestFiles.h"

#include "plan/DataPacket.h"
#include "plan/IniFile.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"
#include "plan/PlanCsv.h"
#include "plan/PlanFiles.h"
#include "plan/PlanImport.h"
#include "plan/PlanTotals.h"
#include "plan/RegularFile.h"

#include <QtTest>

#include <memory>
#include <sys/stat.h>

namespace {

// A named pipe, a link to a device or a folder at `path`.
void makeOddFile(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(QFile::link(kind, path));
}

Table &tableNamed(Plan &plan, const QString &name)
{
    for (const PlanCsv::TableFile &file : PlanCsv::tableFiles())
        if (file.table(plan).name() == name)
            return file.table(plan);
    return plan.items();
}

void fillPlan(Plan &plan)
{
    plan.items().appendRow({"Rent", "Monthly", 950.0, "Home", "E", QVariant()});
    plan.items().appendRow({"Wage", "Weekly", 700.0, "Work", "I", QVariant()});
    plan.categories().appendRow({"Home", "E"});
    plan.savings().appendRow({"Boat", 1000.0, QDateTime(QDate(2026, 3, 1), QTime(0, 0)),
                              QDateTime(QDate(2027, 3, 1), QTime(0, 0)), "Monthly", 83.33});
    plan.loans().appendRow({"Car", "Bank", 9000.0, 250.0, "Monthly", QDateTime(QDate(2025, 1, 1), QTime(0, 0)), 3,
                            QDateTime(QDate(2028, 1, 1), QTime(0, 0)), 6.5});
    plan.reminders().appendRow({"E", "Home", "Rent", 1, "Pay the rent", 1});
}

QString planText(Plan &plan)
{
    QString text;
    for (const PlanCsv::TableFile &file : PlanCsv::tableFiles())
        text += PlanCsv::tableText(file.table(plan));
    return text;
}

} // namespace

class TestFileReading : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir = QDir(m_tmp->path());
    }

    void oddFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("what");
        QTest::newRow("named pipe") << "fifo"
                                    << "a named pipe";
        QTest::newRow("link to /dev/zero") << "/dev/zero"
                                           << "a character device";
        QTest::newRow("link to /dev/urandom") << "/dev/urandom"
                                              << "a character device";
        QTest::newRow("folder") << "folder"
                                << "a folder";
    }

    void oddFilesAreRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, what);
        const QString planFile = m_dir.filePath("home.pkb");
        Plan plan;
        fillPlan(plan);
        PlanFiles::savePlanTables(plan, planFile);
        const QString loans = PlanFiles::loansFile(planFile);
        QVERIFY(QFile::remove(loans));
        makeOddFile(kind, loans);
        const QString refusal = QStringLiteral("\"%1\" is not a regular file: it is %2").arg(loans, what);

        Plan loaded;
        fillPlan(loaded);
        loaded.loans().appendRow({"Kept"});
        const QString before = planText(loaded);
        try {
            PlanFiles::loadPlan(loaded, planFile);
            QFAIL("the plan was opened");
        } catch (const FileFormatError &e) {
            QCOMPARE(e.message(), refusal);
        }
        QCOMPARE(planText(loaded), before);
        try {
            PlanFiles::loadTable(loaded.loans(), loans);
            QFAIL("the table was read");
        } catch (const FileFormatError &e) {
            QCOMPARE(e.message(), refusal);
        }
        QCOMPARE(planText(loaded), before);

        QCOMPARE(IniFile::read(loans, "freqvalue", "0", "ERROR"), QString("ERROR"));
        QVERIFY(!IniFile(loans).load());
        QVERIFY(!ListFile::load(loans).has_value());

        const QString csvFolder = m_dir.filePath("csv");
        PlanCsv::writeFolder(plan, csvFolder);
        const QString items = QDir(csvFolder).filePath("items.csv");
        QVERIFY(QFile::remove(items));
        makeOddFile(kind, items);
        PlanImport import;
        QVERIFY(!import.read(csvFolder, loaded));
        QCOMPARE(import.errors(), QStringList{items + ": is not a regular file: it is " + what});
        QCOMPARE(planText(loaded), before);
    }

    void aLinkToARegularFileIsRead()
    {
        Plan plan;
        fillPlan(plan);
        const QString real = m_dir.filePath("real");
        QVERIFY(QDir().mkpath(real));
        const QString planFile = m_dir.filePath("home.pkb");
        PlanFiles::savePlanTables(plan, QDir(real).filePath("home.pkb"));
        for (const QString suffix : {"", "ln", "sv", "cat", "rem"})
            QVERIFY(QFile::link(QDir(real).filePath("home.pkb") + suffix, planFile + suffix));
        Plan loaded;
        PlanFiles::loadPlan(loaded, planFile);
        QCOMPARE(planText(loaded), planText(plan));

        writeFile(QDir(real).filePath("cfg.ini"), "[freqvalue]\r\n0=4\r\n");
        QVERIFY(QFile::link(QDir(real).filePath("cfg.ini"), m_dir.filePath("cfg.ini")));
        QCOMPARE(IniFile::read(m_dir.filePath("cfg.ini"), "freqvalue", "0", "ERROR"), QString("4"));
        ListFile::write(QDir(real).filePath("list.txt"), {"Gas", "Water"});
        QVERIFY(QFile::link(QDir(real).filePath("list.txt"), m_dir.filePath("list.txt")));
        QCOMPARE(ListFile::read(m_dir.filePath("list.txt")), QStringList({"Gas", "Water"}));

        PlanCsv::writeFolder(plan, QDir(real).filePath("csv"));
        QVERIFY(QFile::link(QDir(real).filePath("csv"), m_dir.filePath("csv")));
        Plan imported;
        PlanImport import;
        QVERIFY2(import.read(m_dir.filePath("csv"), imported), qPrintable(import.errors().join('\n')));
        QCOMPARE(planText(imported), planText(plan));
    }

    void theBoundIsExact_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bound");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the bound") << 100 << 100 << true;
        QTest::newRow("a byte over") << 101 << 100 << false;
        QTest::newRow("empty") << 0 << 0 << true;
        QTest::newRow("past the first piece") << 200000 << 300000 << true;
    }

    void theBoundIsExact()
    {
        QFETCH(int, size);
        QFETCH(int, bound);
        QFETCH(bool, read);
        const QString path = m_dir.filePath("f");
        QByteArray bytes(size, 'x');
        for (int i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 26);
        writeFile(path, bytes);
        const RegularFile::Contents file = RegularFile::read(path, bound);
        QCOMPARE(file.ok(), read);
        QCOMPARE(file.bytes, read ? bytes : QByteArray());
        QCOMPARE(file.status, read ? RegularFile::Status::Ok : RegularFile::Status::TooLarge);
    }

    // Each value the program cannot show or add up, put in a table and
    // written as the program writes a file: the plan file is refused naming
    // its row and field, and the CSV import of the same table says the same.
    void valuesNoPlanHoldsAreRefused_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("problem");
        const QString frequencies = "Daily, Weekly, Fortnightly, Monthly, Quarterly or Yearly";
        const QString tooLarge = " is too large an amount; an amount has at most 12 digits before the point";
        QTest::newRow("item frequency unknown")
            << "cds_budget"
            << "freq" << QVariant("Bogus")
            << "'Bogus' is not a frequency; give " + frequencies + " (exactly so written)";
        QTest::newRow("item frequency in other case")
            << "cds_budget"
            << "freq" << QVariant("monthly")
            << "'monthly' is not a frequency; give " + frequencies + " (exactly so written)";
        QTest::newRow("item frequency empty")
            << "cds_budget"
            << "freq" << QVariant("") << "the frequency is missing; give " + frequencies;
        QTest::newRow("item kind") << "cds_budget"
                                   << "catid" << QVariant("X")
                                   << "'X' is not a kind letter; give I (income) or E (expense)";
        QTest::newRow("item amount 1e308") << "cds_budget"
                                           << "amount" << QVariant(1e308) << "1e+308" + tooLarge;
        QTest::newRow("item amount -1e12") << "cds_budget"
                                           << "amount" << QVariant(-1e12) << "-1e+12" + tooLarge;
        QTest::newRow("category kind") << "cds_cat"
                                       << "catid" << QVariant("i")
                                       << "'i' is not a kind letter; give I (income) or E (expense)";
        QTest::newRow("reminder month 13") << "cds_remind"
                                           << "month" << QVariant(13) << "13 is not a month; give 1 to 12";
        QTest::newRow("reminder month 0") << "cds_remind"
                                          << "month" << QVariant(0) << "0 is not a month; give 1 to 12";
        QTest::newRow("reminder day 2147483647")
            << "cds_remind"
            << "dom" << QVariant(2147483647) << "2147483647 is not a day of the month; give 1 to 31";
        QTest::newRow("savings frequency Yearly")
            << "cds_savings"
            << "freq" << QVariant("Yearly")
            << "'Yearly' is not a savings frequency; give Daily, Weekly, Fortnightly or Monthly (exactly so written)";
        QTest::newRow("savings target") << "cds_savings"
                                        << "amount" << QVariant(2e12) << "2e+12" + tooLarge;
        QTest::newRow("loan frequency missing")
            << "cds_loans"
            << "payfreq" << QVariant() << "the frequency is missing; give " + frequencies;
        QTest::newRow("loan amount") << "cds_loans"
                                     << "amtborrowed" << QVariant(1234567890123.5) << "1234567890123.5" + tooLarge;
        QTest::newRow("loan length -5") << "cds_loans"
                                        << "loanlgth" << QVariant(-5)
                                        << "-5 is not a loan length in years; give 0 to 100";
        QTest::newRow("loan length 101") << "cds_loans"
                                         << "loanlgth" << QVariant(101)
                                         << "101 is not a loan length in years; give 0 to 100";
    }

    void valuesNoPlanHoldsAreRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, problem);
        Plan bad;
        fillPlan(bad);
        Table &target = tableNamed(bad, table);
        // After the good rows: the bad one is the last in the file's order.
        Table::Row row = target.allRows().front();
        row[target.fieldIndex("cat") >= 0 ? target.fieldIndex("cat") : 0] = "Zz";
        row[target.fieldIndex(field)] = value;
        target.appendRow(row);
        const int rowNumber = target.totalRowCount();
        QCOMPARE(target.allRows().back().at(target.fieldIndex(field)), value); // the table takes it

        const QString planFile = m_dir.filePath("home.pkb");
        Plan good;
        fillPlan(good);
        PlanFiles::savePlanTables(good, planFile);
        const QString tableFile = table == "cds_budget" ? planFile
            : table == "cds_cat"                        ? PlanFiles::categoriesFile(planFile)
            : table == "cds_savings"                    ? PlanFiles::savingsFile(planFile)
            : table == "cds_loans"                      ? PlanFiles::loansFile(planFile)
                                                        : PlanFiles::remindersFile(planFile);
        writeFile(tableFile, DataPacket::write(target));

        Plan loaded;
        fillPlan(loaded);
        loaded.items().appendRow({"Gas", "Monthly", 40.0, "Home", "E", QVariant()});
        const QString before = planText(loaded);
        const QString refusal = QStringLiteral("\"%1\" is not a valid plan file: row %2, field '%3': %4")
                                    .arg(tableFile, QString::number(rowNumber), field, problem);
        for (const bool wholePlan : {true, false}) {
            try {
                if (wholePlan)
                    PlanFiles::loadPlan(loaded, planFile);
                else
                    PlanFiles::loadTable(tableNamed(loaded, table), tableFile);
                QFAIL("the file was taken");
            } catch (const FileFormatError &e) {
                QCOMPARE(e.message(), refusal);
            }
            QCOMPARE(planText(loaded), before);
        }

        PlanImport import;
        QVERIFY(!import.readTable("x.csv", PlanCsv::tableText(target).toUtf8(), tableNamed(loaded, table)));
        QCOMPARE(import.errors(),
                 QStringList{QStringLiteral("x.csv:%1: field '%2': %3").arg(rowNumber + 1).arg(field, problem)});
        QCOMPARE(planText(loaded), before);
    }

    void amountsTheEditorsHoldAreTaken_data()
    {
        QTest::addColumn<QByteArray>("amount");
        QTest::addColumn<double>("value");
        QTest::newRow("largest") << QByteArray("999999999999.9999") << 999999999999.9999;
        QTest::newRow("largest below zero") << QByteArray("-999999999999.99") << -999999999999.99;
        QTest::newRow("one cent") << QByteArray("0.01") << 0.01;
    }

    void amountsTheEditorsHoldAreTaken()
    {
        QFETCH(QByteArray, amount);
        QFETCH(double, value);
        Plan plan;
        PlanImport import;
        const QByteArray csv =
            "item,freq,amount,cat,catid,notes\nA,Monthly," + amount + ",Home,E,\nB,Monthly," + amount + ",Home,E,\n";
        QVERIFY2(import.readTable("items.csv", csv, plan.items()), qPrintable(import.errors().join('\n')));
        QCOMPARE(plan.items().allRows().front().at(2).toDouble(), value);

        const QString file = m_dir.filePath("big.pkb");
        PlanFiles::saveTable(plan.items(), file);
        Plan loaded;
        PlanFiles::loadTable(loaded.items(), file);
        QCOMPARE(planText(loaded), planText(plan));
        // Two of them add up to a total that is shown, not lost.
        const PlanTotals totals = computePlanTotals(loaded, "Monthly", QDateTime(QDate(2026, 1, 1), QTime(12, 0)));
        QVERIFY2(qFuzzyCompare(totals.expense, 2 * value), qPrintable(QString::number(totals.expense, 'f')));
        QVERIFY(!statusBarTexts(totals, "$").contains("Expense Total: $0.00"));
    }

    void hugeAmountsNeverReachTheTotals_data()
    {
        QTest::addColumn<QByteArray>("amount");
        QTest::newRow("1e308") << QByteArray("1e308");
        QTest::newRow("-1e308") << QByteArray("-1e308");
        QTest::newRow("nan") << QByteArray("nan");
        QTest::newRow("inf") << QByteArray("inf");
    }

    void hugeAmountsNeverReachTheTotals()
    {
        QFETCH(QByteArray, amount);
        Plan plan;
        fillPlan(plan);
        const QDateTime now(QDate(2026, 1, 1), QTime(12, 0));
        const QStringList shown = statusBarTexts(computePlanTotals(plan, "Monthly", now), "$");
        PlanImport import;
        const QByteArray csv =
            "item,freq,amount,cat,catid,notes\nA,Monthly," + amount + ",Home,E,\nB,Monthly," + amount + ",Home,E,\n";
        QVERIFY(!import.readTable("items.csv", csv, plan.items()));
        QCOMPARE(import.errors().size(), 2);
        QVERIFY2(import.errors().first().startsWith("items.csv:2: field 'amount': "),
                 qPrintable(import.errors().first()));
        QCOMPARE(statusBarTexts(computePlanTotals(plan, "Monthly", now), "$"), shown);

        // The same two items in a plan file: refused, the totals as they were.
        // The table takes no number that is not finite, so the packet is
        // written with a stand-in that is then replaced.
        const auto bytesOf = [](double d) { return QByteArray(reinterpret_cast<const char *>(&d), sizeof d); };
        const double standIn = 12345.6789;
        Plan huge;
        huge.items().appendRow({"A", "Monthly", standIn, "Home", "E", QVariant()});
        huge.items().appendRow({"B", "Monthly", standIn, "Home", "E", QVariant()});
        QByteArray packet = DataPacket::write(huge.items());
        QCOMPARE(packet.count(bytesOf(standIn)), 2);
        packet.replace(bytesOf(standIn), bytesOf(amount.toDouble()));
        const QString file = m_dir.filePath("huge.pkb");
        writeFile(file, packet);
        QVERIFY_THROWS_EXCEPTION(FileFormatError, PlanFiles::loadTable(plan.items(), file));
        QCOMPARE(statusBarTexts(computePlanTotals(plan, "Monthly", now), "$"), shown);
    }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;
};

QTEST_GUILESS_MAIN(TestFileReading)
#include "tst_filereading.moc"
