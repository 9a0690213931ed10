#include "ChildProcess.h"
#include "PlanCommandTest.h"

#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"

#include <QMap>
#include <QRegularExpression>

#include <csignal>
#include <sys/resource.h>

// Runs the built `pursekeep-cli import|export|backups|restore` as a script
// would: the plan's files and the CSV files written whole or not at all, what
// is refused and why, and the backups an import keeps.
class TestPlanCommands : public PlanCommandTest
{
    Q_OBJECT

    // A row as exact texts: doubles to 17 digits, null apart from empty text.
    static QStringList exactTexts(const Table::Row &row)
    {
        QStringList texts;
        for (const QVariant &v : row) {
            if (v.isNull())
                texts << "<null>";
            else if (v.typeId() == QMetaType::Double)
                texts << QString::number(v.toDouble(), 'g', 17);
            else if (v.typeId() == QMetaType::QDateTime)
                texts << v.toDateTime().toString(Qt::ISODateWithMs);
            else
                texts << "'" + v.toString() + "'";
        }
        return texts;
    }

    // A plan of one item imported from `csv` into `plan`, and its files' bytes.
    static void importedPlan(const QString &csv, const QString &plan, QMap<QString, QByteArray> &bytes)
    {
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nSalary,Monthly,1000,Work,I,\n");
        QCOMPARE(run({"import", csv, plan}).status, 0);
        for (const QString &f : familyFiles(plan))
            bytes[f] = readAll(f);
    }

    static void expectUnchanged(const QString &plan, const QMap<QString, QByteArray> &bytes)
    {
        for (const QString &f : familyFiles(plan))
            QVERIFY2(readAll(f) == bytes[f], qPrintable(f));
    }

private slots:
    void initTestCase() { startCommandTests(); }

    // A plan held open by a running program is not replaced under it: the
    // import says who holds it and writes nothing. A lock left by a program
    // that died does not count.
    void importRefusesAPlanOpenElsewhere()
    {
        const QString csv = folder("csv");
        const QString plan = folder("plan") + "/home.pkb";
        QMap<QString, QByteArray> before;
        importedPlan(csv, plan, before);
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nRent,Monthly,700,Home,E,\n");
        {
            PlanLock open(plan, PlanLock::Kind::Open);
            QCOMPARE(open.tryLock(), PlanLock::Result::Locked);
            const Run refused = run({"import", csv, plan});
            QCOMPARE(refused.status, 2);
            // After the import's warning about the category it does not know.
            QCOMPARE(refused.err.section(u'\n', -2),
                     QString("pursekeep-cli import: \"%1\" is open in another program (%2); close it there first "
                             "(nothing was written)\n")
                         .arg(plan, open.holder()));
            expectUnchanged(plan, before);
        }
        // Held by a program that has died since: the lock file stays.
        QCOMPARE(exitStatusOfChild([&] {
                     auto *lock = new PlanLock(plan, PlanLock::Kind::Open);
                     return lock->tryLock() == PlanLock::Result::Locked ? 0 : 1;
                 }),
                 0);
        const Run after = run({"import", csv, plan});
        QCOMPARE(after.status, 0);
        QVERIFY(readAll(plan) != before[plan]);
        QCOMPARE(QDir(folder("plan")).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"home.pkb", "home.pkbcat", "home.pkbini", "home.pkbln", "home.pkbrem", "home.pkbsv"}));
    }

    // Under a file-size limit the write fails with its reason instead of the
    // signal killing the program half-way: the old plan is whole and nothing
    // of the save is left.
    void fileSizeLimitFailsTheSaveWithItsReason()
    {
        const QString csv = folder("csv");
        const QString plan = folder("plan") + "/home.pkb";
        QMap<QString, QByteArray> before;
        importedPlan(csv, plan, before);
        QByteArray many = "item,freq,amount,cat,catid,notes\n";
        for (int i = 0; i < 2000; ++i)
            many += "Item number " + QByteArray::number(i) + ",Weekly,1,Home,E,a note\n";
        writeFile(csv + "/items.csv", many);

        QProcess process;
        process.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_DFL); // as a shell with `ulimit -f` leaves it
            struct rlimit limit
            {
            };
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 16384;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        process.start(QStringLiteral(PURSEKEEP_CLI), {"import", csv, plan});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()).section(u'\n', -2),
                 QString("pursekeep-cli import: \"%1\" cannot be written: File too large\n").arg(plan));
        expectUnchanged(plan, before);
        QCOMPARE(QDir(folder("plan")).entryList(QDir::Files | QDir::Hidden).size(), 6);
    }

    // A plan that lacks table files is read with what is there, and the
    // missing ones (a link to nothing among them) are named.
    void missingTableFilesAreNamed()
    {
        const QString csv = folder("csv");
        const QString plan = folder("plan") + "/home.pkb";
        QMap<QString, QByteArray> before;
        importedPlan(csv, plan, before);
        QVERIFY(QFile::remove(plan + "sv"));
        QVERIFY(QFile::remove(plan + "rem"));
        QVERIFY(QFile::link(folder("gone") + "/home.pkbrem", plan + "rem"));
        const Run result = run({"totals", plan, "--frequency", "Monthly"});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out.section(u'\n', 0, 0), QString("Income Total: $1000.00"));
        QCOMPARE(result.err,
                 QString("pursekeep-cli totals: warning: \"%1\" lacks home.pkbsv; its table is empty\n"
                         "pursekeep-cli totals: warning: \"%1\" lacks home.pkbrem (a link to \"%2\", "
                         "which does not exist); its table is empty\n")
                     .arg(plan, folder("gone") + "/home.pkbrem"));
        // A save goes through the link and makes the file it points to.
        QCOMPARE(run({"import", csv, plan}).status, 0);
        QVERIFY(QFileInfo(plan + "rem").isSymLink());
        QVERIFY(QFileInfo(folder("gone") + "/home.pkbrem").isFile());
        QCOMPARE(run({"totals", plan}).err, QString());
    }

    // A plan holding every kind of value goes out to CSV and back unchanged.
    void exportImportReproducesEveryValue()
    {
        Plan plan;
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // one character, two UTF-16 units
        const QString fiftyChars = QString(49, u'x') + clef;
        plan.items().appendRow({fiftyChars, "Monthly", 1234.5678, "Ümlaut café", "I", "two\nlines, \"quoted\"\r\nend"});
        plan.items().appendRow({"Bread", "Weekly", 0.1, "Food", "E", ""});
        plan.items().appendRow({"Bus", "Daily", -0.0001, "Food", "E", QVariant()});
        plan.categories().appendRow({"Ümlaut café", "I"});
        plan.categories().appendRow({"Food", "E"});
        plan.categories().appendRow({QString(20, u'c'), "E"});
        plan.savings().appendRow({"Car, \"new\"", 99999999.9999, QDateTime(QDate(2024, 3, 1), QTime(0, 0)),
                                  QDateTime(QDate(2025, 2, 28), QTime(13, 45, 7, 123)), "Fortnightly", 33.3333});
        plan.savings().appendRow({"Nothing yet", QVariant(), QVariant(), QVariant(), "Daily", QVariant()});
        plan.loans().appendRow({"House", "Bank", 250000.0, 1234.56, "Monthly",
                                QDateTime(QDate(2020, 1, 31), QTime(0, 0)), 25,
                                QDateTime(QDate(2045, 1, 31), QTime(0, 0)), 0.1 + 0.2});
        plan.loans().appendRow({"Tiny", "", 1.0, 0.5, "Yearly", QVariant(), 0, QVariant(), 1e-7});
        plan.reminders().appendRow({"E", "Food", "Bread", 31, "Buy bread ☺", 12});
        plan.reminders().appendRow({"I", "Ümlaut café", fiftyChars.left(20), 1, "Pay day", 1});

        const QString planA = m_dir.filePath("a.pkb");
        PlanFiles::savePlanTables(plan, planA);
        const QString csv = folder("csv");
        const Run exported = run({"export", planA, csv});
        QCOMPARE(exported.err, QString());
        QCOMPARE(exported.status, 0);
        QVERIFY(readAll(csv + "/items.csv").startsWith("item,freq,amount,cat,catid,notes\r\n"));
        QVERIFY(readAll(csv + "/items.csv").contains(",\"two\nlines, \"\"quoted\"\"\r\nend\"\r\n"));

        const QString planB = m_dir.filePath("b.pkb");
        const Run imported = run({"import", csv, planB});
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.status, 0);

        Plan back;
        PlanFiles::loadPlan(back, planB);
        const QList<Table *> before = {&plan.items(), &plan.categories(), &plan.savings(), &plan.loans(),
                                       &plan.reminders()};
        const QList<Table *> after = {&back.items(), &back.categories(), &back.savings(), &back.loans(),
                                      &back.reminders()};
        for (qsizetype t = 0; t < before.size(); ++t) {
            QCOMPARE(after[t]->totalRowCount(), before[t]->totalRowCount());
            for (int r = 0; r < before[t]->totalRowCount(); ++r)
                QCOMPARE(exactTexts(after[t]->allRows().at(r)), exactTexts(before[t]->allRows().at(r)));
        }
        for (const char *suffix : {"", "ln", "sv", "cat", "rem"})
            QCOMPARE(readAll(planB + suffix), readAll(planA + suffix));
        QCOMPARE(readAll(planB + "ini"), QByteArray("[freqvalue]\r\n0=2\r\n"));
    }

    void failingDiskWritesNothing_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<int>("items");
        QTest::newRow("full disk, small plan") << true << 40;
        QTest::newRow("full disk, plan past the buffer") << true << 800;
        QTest::newRow("file-size limit, small plan") << false << 40;
        QTest::newRow("file-size limit, plan past the buffer") << false << 800;
    }

    // Import over an existing plan and export over existing CSV files: a disk
    // that fails part way is exit status 1 with the system's reason, and every
    // old file stays as it was.
    void failingDiskWritesNothing()
    {
        QFETCH(bool, fullDisk);
        QFETCH(int, items);
        SmallDisk disk(512 * 1024);
        if (fullDisk)
            SMALL_DISK_OR_SKIP(disk);
        const QString base = fullDisk ? disk.path() : folder("disk");
        const QString csv = base + "/csv";
        const QString plan = base + "/home.pkb";
        QVERIFY(QDir().mkpath(csv));
        writeFile(csv + "/categories.csv", "cat,catid\nWork,I\n");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nWage,Monthly,1000,Work,I,\n");
        QCOMPARE(run({"import", csv, plan}).status, 0);
        QCOMPARE(run({"export", plan, csv}).status, 0);
        QMap<QString, QByteArray> before;
        for (const QString &f : familyFiles(plan))
            before[f] = readAll(f);
        for (const QString &name : QDir(csv).entryList(QDir::Files))
            before[csv + "/" + name] = readAll(csv + "/" + name);

        QByteArray many = "item,freq,amount,cat,catid,notes\n";
        for (int i = 0; i < items; ++i)
            many += "Item number " + QByteArray::number(i) + " of the bigger plan,Weekly,12.5,Work,I,\n";
        const QString bigCsv = folder("big");
        writeFile(bigCsv + "/categories.csv", "cat,catid\nWork,I\n");
        writeFile(bigCsv + "/items.csv", many);
        const QString bigPlan = folder("bigplan") + "/big.pkb";
        QCOMPARE(run({"import", bigCsv, bigPlan}).status, 0);

        if (fullDisk)
            QVERIFY(disk.leaveFree(4096));
        const qint64 limit = fullDisk ? 0 : 2048;
        const QString reason = fullDisk ? "No space left on device" : "File too large";
        const Run imported = run({"import", bigCsv, plan}, limit);
        QCOMPARE(imported.status, 1);
        QVERIFY2(imported.err.startsWith("pursekeep-cli import: \"" + plan) && imported.err.contains(reason),
                 qPrintable(imported.err));
        const Run exported = run({"export", bigPlan, csv}, limit);
        QCOMPARE(exported.status, 1);
        QVERIFY2(exported.err.contains(reason), qPrintable(exported.err));
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY2(readAll(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(QDir(csv).entryList(QDir::Files | QDir::Hidden).size(), 5);
        QCOMPARE(QDir(base).entryList(QDir::Files).size(), 6);
    }

    // 8 September 2024 has no midnight in Santiago: a goal starting that day
    // imports, counts and exports as that day.
    void datesOfADayWithoutMidnight()
    {
        const QString csv = folder("csv");
        writeFile(csv + "/savings.csv",
                  "desc,amount,start,finish,freq,freqamount\n"
                  "Bike,70,2024-09-08,2024-09-15,Weekly,70\n");
        writeFile(csv + "/loans.csv",
                  "purpose,lender,amtborrowed,minpay,payfreq,start,loanlgth,finish,intrate\n"
                  "Car,Bank,1000,50,Weekly,2024-08-08,1,2024-09-08,5\n");
        const QString plan = folder("plan") + "/plan.pkb";
        const QString zone = "America/Santiago";
        const Run imported = run({"import", csv, plan}, 0, zone);
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.status, 0);
        const auto totals = [&](const QString &today) {
            return run({"totals", plan, "--frequency", "Weekly", "--today", today}, 0, zone).out.split('\n');
        };
        QCOMPARE(totals("2024-09-07").mid(2, 2), QStringList({"Savings Goals: $70.00", "Total Loans: $50.00"}));
        QCOMPARE(totals("2024-09-08").mid(2, 2), QStringList({"Savings Goals: $70.00", "Total Loans: $0.00"}));
        const QString out = folder("out");
        QCOMPARE(run({"export", plan, out}, 0, zone).status, 0);
        QCOMPARE(readAll(out + "/savings.csv"),
                 QByteArray("desc,amount,start,finish,freq,freqamount\r\nBike,70,2024-09-08,2024-09-15,Weekly,70\r\n"));
    }

    void importRefusesBadInput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message"); // the first line on stderr, after "DIR/"

        const QByteArray items = "item,freq,amount,cat,catid,notes\r\nRent,Monthly,800,Home,E,\r\n";
        const QByteArray reminders = "cat_id,cat,item,dom,desc,month\n";
        const QByteArray savings = "desc,amount,start,finish,freq,freqamount\n";
        const QByteArray loans = "purpose,lender,amtborrowed,minpay,payfreq,start,loanlgth,finish,intrate\n";
        QTest::newRow("unknown frequency")
            << "items.csv" << items + "Gas,Biweekly,80,Home,E,\r\n"
            << "items.csv:3: field 'freq': 'Biweekly' is not a frequency; give Daily, Weekly, Fortnightly, "
               "Monthly, Quarterly or Yearly (exactly so written)";
        QTest::newRow("frequency in other case")
            << "loans.csv" << loans + "Car,Bank,100,10,monthly,,,,\n"
            << "loans.csv:2: field 'payfreq': 'monthly' is not a frequency; give Daily, Weekly, Fortnightly, "
               "Monthly, Quarterly or Yearly (exactly so written)";
        QTest::newRow("savings frequency")
            << "savings.csv" << savings + "Car,100,,,Yearly,\n"
            << "savings.csv:2: field 'freq': 'Yearly' is not a savings frequency; give Daily, Weekly, "
               "Fortnightly or Monthly (exactly so written)";
        QTest::newRow("kind letter")
            << "categories.csv" << QByteArray("cat,catid\nHome,E\nWork,i\n")
            << "categories.csv:3: field 'catid': 'i' is not a kind letter; give I (income) or E (expense)";
        QTest::newRow("number")
            << "items.csv" << items + "Gas,Weekly,\"80,50\",Home,E,\r\n"
            << "items.csv:3: field 'amount': '80,50' is not a number (write it with a decimal point, such "
               "as 1234.50)";
        QTest::newRow("date") << "savings.csv" << savings + "Car,100,2024-02-30,,Weekly,\n"
                              << "savings.csv:2: field 'start': '2024-02-30' is not a date (yyyy-MM-dd, or "
                                 "yyyy-MM-ddTHH:mm:ss.zzz with a time)";
        QTest::newRow("month 13") << "reminders.csv" << reminders + "E,Home,Rent,1,Pay,13\n"
                                  << "reminders.csv:2: field 'month': 13 is not a month; give 1 to 12";
        QTest::newRow("day 32") << "reminders.csv" << reminders + "E,Home,Rent,32,Pay,1\n"
                                << "reminders.csv:2: field 'dom': 32 is not a day of the month; give 1 to 31";
        QTest::newRow("no day") << "reminders.csv" << reminders + "E,Home,Rent,,Pay,1\n"
                                << "reminders.csv:2: field 'dom': the day of the month is missing; give 1 to 31";
        QTest::newRow("duplicate item")
            << "items.csv" << items + "Gas,Weekly,80,Home,E,\r\nRent,Weekly,200,Home,E,\r\n"
            << "items.csv:4: field 'item': the item 'Rent' in category 'Home' (E) is already on line 2";
        QTest::newRow("duplicate category")
            << "categories.csv" << QByteArray("cat,catid\nHome,E\nHome,I\n\"Home\",E\n")
            << "categories.csv:4: field 'cat': the category 'Home' (E) is already on line 2";
        QTest::newRow("text too long")
            << "reminders.csv" << reminders + "E,Home," + QByteArray(21, 'r') + ",1,Pay,1\n"
            << "reminders.csv:2: field 'item': the text is 21 characters long; at most 20 fit";
        QTest::newRow("header in another order")
            << "categories.csv" << QByteArray("catid,cat\nE,Home\n")
            << "categories.csv:1: the header row is 'catid,cat'; it must be cat,catid";
        QTest::newRow("empty file") << "items.csv" << QByteArray()
                                    << "items.csv:1: the header row is missing; it must be "
                                       "item,freq,amount,cat,catid,notes";
        QTest::newRow("cell missing") << "items.csv" << items + "Gas,Weekly,80,Home,E\r\n"
                                      << "items.csv:3: 5 cells where the header has 6";
        QTest::newRow("quote never closed") << "items.csv" << items + "Gas,Weekly,80,Home,E,\"note\r\nmore\r\n"
                                            << "items.csv:3: a quoted cell is never closed";
        QTest::newRow("not UTF-8") << "items.csv" << items + "Caf\xE9,Weekly,3,Home,E,\r\n"
                                   << "items.csv:3: the file is not UTF-8 text";
    }

    void importRefusesBadInput()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        // An existing plan in the way, which a refused import must leave alone.
        const QString good = folder("good");
        writeFile(good + "/items.csv", "item,freq,amount,cat,catid,notes\nOld,Weekly,1,Home,E,\n");
        const QString plan = folder("plan") + "/plan.pkb";
        QCOMPARE(run({"import", good, plan, "--frequency", "Yearly"}).status, 0);
        QList<QByteArray> before;
        for (const QString &path : familyFiles(plan))
            before << readAll(path);

        const QString csv = folder("csv");
        writeFile(csv + "/categories.csv", "cat,catid\nHome,E\n");
        writeFile(csv + "/" + file, content);
        const Run result = run({"import", csv, plan});
        QCOMPARE(result.status, 2);
        QCOMPARE(result.err.section(u'\n', 0, 0), csv + "/" + message);
        QVERIFY(result.err.endsWith("pursekeep-cli import: nothing was written\n"));
        QList<QByteArray> after;
        for (const QString &path : familyFiles(plan))
            after << readAll(path);
        QCOMPARE(after, before);
    }

    // An import over a plan keeps the plan it replaces; `backups` lists them
    // newest first and `restore` puts one back, keeping the plan it replaces
    // in turn.
    void backupsAndRestore()
    {
        const QString plan = folder("plan") + "/home.pkb";
        const QString csv = folder("csv");
        writeFile(csv + "/categories.csv", "cat,catid\nWork,I\nHome,E\n");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nWage,Monthly,1000,Work,I,\n");
        const Run created = run({"import", csv, plan});
        QCOMPARE(created.status, 0);
        QCOMPARE(created.err, QString());
        const Run none = run({"backups", plan});
        QCOMPARE(none.status, 2);
        QCOMPARE(none.err,
                 "pursekeep-cli backups: \"" + plan
                     + "\" has no backups (one is kept each time a save "
                       "replaces the plan)\n");
        QMap<QString, QByteArray> first;
        for (const QString &f : familyFiles(plan))
            first[f] = readAll(f);

        writeFile(csv + "/items.csv",
                  "item,freq,amount,cat,catid,notes\nWage,Monthly,1000,Work,I,\n"
                  "Rent,Monthly,400,Home,E,\n");
        const QString replaced = "pursekeep-cli %1: replaced the plan \"" + plan
            + "\"; the old one is kept as "
              "backup 1 (pursekeep-cli restore puts it back)\n";
        const Run replacing = run({"import", csv, plan});
        QCOMPARE(replacing.status, 0);
        QCOMPARE(replacing.err, replaced.arg("import"));
        const QRegularExpression line(
            "^(\\d+)  \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d  (\\d+ items?)  (\\S+) a month$");
        const auto listed = [&] {
            const Run r = run({"backups", plan});
            QStringList out;
            for (const QString &l : r.out.split('\n', Qt::SkipEmptyParts)) {
                const QRegularExpressionMatch m = line.match(l);
                out << (m.hasMatch() ? m.captured(1) + " " + m.captured(2) + " " + m.captured(3) : "bad: " + l);
            }
            return out;
        };
        QCOMPARE(listed(), QStringList{"1 1 item $1000.00"});

        const Run restored = run({"restore", plan, "1"});
        QCOMPARE(restored.status, 0);
        QCOMPARE(restored.err, replaced.arg("restore"));
        for (const QString &f : familyFiles(plan))
            QCOMPARE(readAll(f), first.value(f));
        QCOMPARE(listed(), QStringList({"1 2 items $600.00", "2 1 item $1000.00"}));

        const Run wrong = run({"restore", plan, "3"});
        QCOMPARE(wrong.status, 2);
        QCOMPARE(wrong.err,
                 "pursekeep-cli restore: there is no backup 3 of \"" + plan
                     + "\": give a number from 1 "
                       "to 2 (see pursekeep-cli backups)\n");
        for (const QString &f : familyFiles(plan))
            QCOMPARE(readAll(f), first.value(f));
    }

    void importArguments_data()
    {
        QTest::addColumn<QStringList>("args"); // %1 a folder with items.csv, %2 the plan
        QTest::addColumn<QString>("err");
        QTest::newRow("unknown frequency") << QStringList{"%1", "%2", "--frequency", "fortnightly"}
                                           << "pursekeep-cli import: 'fortnightly' is not a frequency; give Daily, "
                                              "Weekly, Fortnightly, Monthly, Quarterly or Yearly (exactly so "
                                              "written)\n";
        QTest::newRow("empty folder") << QStringList{"%1/nothing", "%2"}
                                      << "'%1/nothing' holds none of items.csv, categories.csv, savings.csv, "
                                         "loans.csv or reminders.csv: there is nothing to import\n"
                                         "pursekeep-cli import: nothing was written\n";
        QTest::newRow("no folder") << QStringList{"%1/absent", "%2"}
                                   << "'%1/absent' is not a folder\npursekeep-cli import: nothing was written\n";
    }

    void importArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const QString csv = folder("csv");
        QDir().mkpath(csv + "/nothing");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\n");
        const QString plan = folder("plan") + "/plan.pkb";
        for (QString &arg : args) {
            arg.replace("%1", csv);
            arg.replace("%2", plan);
        }
        const Run result = run(QStringList{"import"} + args);
        QCOMPARE(result.status, 2);
        QCOMPARE(result.err, QString(err).replace("%1", csv));
        QVERIFY(!QFile::exists(plan));
        QVERIFY(!QFile::exists(plan + "ini"));
    }

    // A plan that cannot be read: one line on stderr, status 2, nothing written.
    void unreadablePlan_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("content"); // "-" for no file, "/" for a folder
        QTest::addColumn<QString>("message");
        const QByteArray text = "item,freq,amount\n";
        for (const QString command : {"export", "totals"}) {
            QTest::addRow("%s truncated", qPrintable(command)) << command << QByteArray("truncate") << "";
            QTest::addRow("%s text file", qPrintable(command)) << command << text << "\"%1\" is not a valid plan file";
            QTest::addRow("%s missing", qPrintable(command)) << command << QByteArray("-") << "\"%1\" does not exist";
            QTest::addRow("%s folder", qPrintable(command))
                << command << QByteArray("/") << "\"%1\" is not a plan file";
        }
    }

    void unreadablePlan()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString plan = folder("plan") + "/plan.pkb";
        if (content == "truncate") {
            const QString csv = folder("csv");
            writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nRent,Monthly,800,Home,E,\n");
            QCOMPARE(run({"import", csv, plan}).status, 0);
            writeFile(plan, readAll(plan).chopped(3));
            message = "\"%1\" is not a valid plan file";
        } else if (content == "/") {
            QDir().mkpath(plan);
        } else if (content != "-") {
            writeFile(plan, content);
        }
        const QString out = folder("out");
        const Run result = run(command == "export" ? QStringList{"export", plan, out}
                                                   : QStringList{"totals", plan, "--frequency", "Weekly"});
        QCOMPARE(result.status, 2);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.startsWith("pursekeep-cli " + command + ": " + message.arg(plan)), qPrintable(result.err));
        QCOMPARE(result.err.count(u'\n'), 1);
        QVERIFY(result.err.endsWith(u'\n'));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPlanCommands)
#include "tst_plancommands.moc"
