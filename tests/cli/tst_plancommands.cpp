#include "ChildProcess.h"
#include "DiskFailure.h"

#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs the built `pursekeep-cli import|export|totals` as a script would.
class TestPlanCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    // `fileSizeLimit` > 0 runs the program with no file allowed past it.
    static Run run(const QStringList &args, qint64 fileSizeLimit = 0, const QString &zone = QString())
    {
        QProcess process;
        if (fileSizeLimit > 0)
            process.setChildProcessModifier([fileSizeLimit] { FileSizeLimit::apply(fileSizeLimit); });
        process.setProgram(QStringLiteral(PURSEKEEP_CLI));
        process.setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8"); // no currency symbol in the locale: "$"
        if (!zone.isEmpty())
            env.insert("TZ", zone);
        // The reports' GUI application wants a runtime folder of the user's.
        static const QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        process.setProcessEnvironment(env);
        process.start();
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // A fresh folder per test row.
    QString folder(const QString &name)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                            + QString::fromLatin1(QTest::currentDataTag()) + u'-' + name);
        QDir().mkpath(path);
        return path;
    }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static QStringList familyFiles(const QString &plan)
    {
        return {plan, plan + "ln", plan + "sv", plan + "cat", plan + "rem", plan + "ini"};
    }

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
            bytes[f] = readFile(f);
    }

    static void expectUnchanged(const QString &plan, const QMap<QString, QByteArray> &bytes)
    {
        for (const QString &f : familyFiles(plan))
            QVERIFY2(readFile(f) == bytes[f], qPrintable(f));
    }

private slots:
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
        QVERIFY(readFile(plan) != before[plan]);
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
            struct rlimit limit{};
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
        QCOMPARE(result.err, QString("pursekeep-cli totals: warning: \"%1\" lacks home.pkbsv; its table is empty\n"
                                     "pursekeep-cli totals: warning: \"%1\" lacks home.pkbrem (a link to \"%2\", "
                                     "which does not exist); its table is empty\n")
                                 .arg(plan, folder("gone") + "/home.pkbrem"));
        // A save goes through the link and makes the file it points to.
        QCOMPARE(run({"import", csv, plan}).status, 0);
        QVERIFY(QFileInfo(plan + "rem").isSymLink());
        QVERIFY(QFileInfo(folder("gone") + "/home.pkbrem").isFile());
        QCOMPARE(run({"totals", plan}).err, QString());
    }

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
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
        QVERIFY(readFile(csv + "/items.csv").startsWith("item,freq,amount,cat,catid,notes\r\n"));
        QVERIFY(readFile(csv + "/items.csv").contains(",\"two\nlines, \"\"quoted\"\"\r\nend\"\r\n"));

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
            QCOMPARE(readFile(planB + suffix), readFile(planA + suffix));
        QCOMPARE(readFile(planB + "ini"), QByteArray("[freqvalue]\r\n0=2\r\n"));
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
            before[f] = readFile(f);
        for (const QString &name : QDir(csv).entryList(QDir::Files))
            before[csv + "/" + name] = readFile(csv + "/" + name);

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
            QVERIFY2(readFile(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(QDir(csv).entryList(QDir::Files | QDir::Hidden).size(), 5);
        QCOMPARE(QDir(base).entryList(QDir::Files).size(), 6);
    }

    // 8 September 2024 has no midnight in Santiago: a goal starting that day
    // imports, counts and exports as that day.
    void datesOfADayWithoutMidnight()
    {
        const QString csv = folder("csv");
        writeFile(csv + "/savings.csv", "desc,amount,start,finish,freq,freqamount\n"
                                        "Bike,70,2024-09-08,2024-09-15,Weekly,70\n");
        writeFile(csv + "/loans.csv", "purpose,lender,amtborrowed,minpay,payfreq,start,loanlgth,finish,intrate\n"
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
        QCOMPARE(readFile(out + "/savings.csv"),
                 QByteArray("desc,amount,start,finish,freq,freqamount\r\nBike,70,2024-09-08,2024-09-15,Weekly,70\r\n"));
    }

    void totals_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QByteArray>("savings");
        QTest::addColumn<QByteArray>("loans");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");

        const QByteArray worked = "item,freq,amount,cat,catid,notes\n"
                                  "Salary,Monthly,1000,Work,I,\nFood,Weekly,100,Home,E,\nBus,Daily,3,Home,E,\n";
        const QByteArray noSavings = "desc,amount,start,finish,freq,freqamount\n";
        const QByteArray noLoans = "purpose,lender,amtborrowed,minpay,payfreq,start,loanlgth,finish,intrate\n";
        const QByteArray noItems = "item,freq,amount,cat,catid,notes\n";
        QTest::newRow("worked example")
            << worked << noSavings << noLoans << QStringList{"--frequency", "Monthly"}
            << "Income Total: $1000.00\nExpense Total: $526.13\nSavings Goals: $0.00\n"
               "Total Loans: $0.00\nBalance: $473.87\n";
        QTest::newRow("plan's own frequency")
            << worked << noSavings << noLoans << QStringList{}
            << "Income Total: $459.96\nExpense Total: $242.00\nSavings Goals: $0.00\n"
               "Total Loans: $0.00\nBalance: $217.96\n";

        const QByteArray goal = noSavings + "Car,1000,2024-01-01,2024-06-15,Weekly,10\n";
        const QByteArray loan = noLoans + "Car,Bank,5000,20,Weekly,2020-01-01,5,2024-06-15,7.5\n";
        const QStringList weekly = {"--frequency", "Weekly", "--today"};
        QTest::newRow("goal finishing today")
            << noItems << goal << noLoans << weekly + QStringList{"2024-06-15"}
            << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $0.00\n"
               "Total Loans: $0.00\nBalance: $0.00\n";
        QTest::newRow("goal finishing tomorrow")
            << noItems << goal << noLoans << weekly + QStringList{"2024-06-14"}
            << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $10.00\n"
               "Total Loans: $0.00\nBalance: -$10.00\n";
        QTest::newRow("loan finishing today")
            << noItems << noSavings << loan << weekly + QStringList{"2024-06-15"}
            << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $0.00\n"
               "Total Loans: $0.00\nBalance: $0.00\n";
        QTest::newRow("loan finishing tomorrow")
            << noItems << noSavings << loan << weekly + QStringList{"2024-06-14"}
            << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $0.00\n"
               "Total Loans: $20.00\nBalance: -$20.00\n";
    }
    void totals()
    {
        QFETCH(QByteArray, items);
        QFETCH(QByteArray, savings);
        QFETCH(QByteArray, loans);
        QFETCH(QStringList, options);
        const QString csv = folder("csv");
        writeFile(csv + "/items.csv", items);
        writeFile(csv + "/savings.csv", savings);
        writeFile(csv + "/loans.csv", loans);
        const QString plan = folder("plan") + "/plan.pkb";
        QCOMPARE(run({"import", csv, plan}).status, 0); // display frequency "Fortnightly"

        const Run result = run(QStringList{"totals", plan} + options);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QTEST(result.out, "expected");
    }

    // Without --frequency the plan's settings file decides; a missing one
    // means Fortnightly and an unusable one is reported, as the program does
    // on opening.
    void totalsDisplayFrequency_data()
    {
        QTest::addColumn<QByteArray>("ini"); // "-" for no settings file
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");

        QTest::newRow("monthly") << QByteArray("[freqvalue]\r\n0=3\r\n") << QStringList{} << 0
                                 << "Income Total: $1000.00\n";
        QTest::newRow("missing: Fortnightly, as the program opens it") << QByteArray("-") << QStringList{} << 0
                                                                       << "Income Total: $459.96\n";
        QTest::newRow("missing, option given") << QByteArray("-") << QStringList{"--frequency", "Monthly"} << 0
                                               << "Income Total: $1000.00\n";
        QTest::newRow("not a number") << QByteArray("[freqvalue]\n0=Monthly\n") << QStringList{} << 2
                                      << "pursekeep-cli totals: \"%1ini\": 'Monthly' is not a valid integer "
                                         "value; give --frequency NAME\n";
        QTest::newRow("out of range") << QByteArray("[freqvalue]\n0=6\n") << QStringList{} << 2
                                      << "pursekeep-cli totals: \"%1ini\": 6 is not a display frequency "
                                         "(0 to 5); give --frequency NAME\n";
    }
    void totalsDisplayFrequency()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, options);
        QFETCH(QString, output);
        const QString csv = folder("csv");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nSalary,Monthly,1000,Work,I,\n");
        const QString plan = folder("plan") + "/plan.pkb";
        QCOMPARE(run({"import", csv, plan}).status, 0);
        QFile::remove(plan + "ini");
        if (ini != "-")
            writeFile(plan + "ini", ini);

        const Run result = run(QStringList{"totals", plan} + options);
        QTEST(result.status, "status");
        if (result.status == 0)
            QCOMPARE(result.out.section(u'\n', 0, 0) + u'\n', output);
        else
            QCOMPARE(result.err, output.arg(plan));
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
        QTest::newRow("date")
            << "savings.csv" << savings + "Car,100,2024-02-30,,Weekly,\n"
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
        QTest::newRow("quote never closed")
            << "items.csv" << items + "Gas,Weekly,80,Home,E,\"note\r\nmore\r\n"
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
            before << readFile(path);

        const QString csv = folder("csv");
        writeFile(csv + "/categories.csv", "cat,catid\nHome,E\n");
        writeFile(csv + "/" + file, content);
        const Run result = run({"import", csv, plan});
        QCOMPARE(result.status, 2);
        QCOMPARE(result.err.section(u'\n', 0, 0), csv + "/" + message);
        QVERIFY(result.err.endsWith("pursekeep-cli import: nothing was written\n"));
        QList<QByteArray> after;
        for (const QString &path : familyFiles(plan))
            after << readFile(path);
        QCOMPARE(after, before);
    }

    // Help and version on standard output with status 0; a wrong command or
    // option is one line on standard error with status 2.
    void helpVersionAndRefusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // what standard output starts with
        QTest::addColumn<QString>("err"); // standard error, whole
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: pursekeep-cli COMMAND" << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage: pursekeep-cli COMMAND" << "";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "pursekeep-cli 3.0\n" << "";
        QTest::newRow("help import") << QStringList{"help", "import"} << 0
                                     << "Usage: pursekeep-cli import [options] DIR PLAN\n" << "";
        QTest::newRow("import --help") << QStringList{"import", "--help"} << 0
                                       << "Usage: pursekeep-cli import [options] DIR PLAN\n" << "";
        QTest::newRow("help report loan") << QStringList{"help", "report", "loan"} << 0
                                          << "Usage: pursekeep-cli report loan [options]\n" << "";
        QTest::newRow("report reminders --help") << QStringList{"report", "reminders", "--help"} << 0
                                                 << "Usage: pursekeep-cli report reminders [options] PLAN\n" << "";
        QTest::newRow("unknown command") << QStringList{"merge", "a.pkb"} << 2 << ""
                                         << "pursekeep-cli: there is no command 'merge' (run pursekeep-cli --help "
                                            "for the list)\n";
        QTest::newRow("help of no command") << QStringList{"help", "merge"} << 2 << ""
                                            << "pursekeep-cli help: there is no command 'merge' (run pursekeep-cli "
                                               "--help for the list)\n";
        QTest::newRow("unknown program option") << QStringList{"--verbose", "totals"} << 2 << ""
                                                << "pursekeep-cli: unknown option --verbose (run pursekeep-cli "
                                                   "--help for the usage)\n";
        QTest::newRow("unknown command option") << QStringList{"export", "a.pkb", "out", "--force"} << 2 << ""
                                                << "pursekeep-cli export: unknown option --force\n";
        QTest::newRow("option without value") << QStringList{"totals", "a.pkb", "--today"} << 2 << ""
                                              << "pursekeep-cli totals: --today needs a value\n";
        QTest::newRow("too many arguments") << QStringList{"export", "a", "b", "c"} << 2 << ""
                                            << "pursekeep-cli export: expected 2 arguments, got 3 (run "
                                               "pursekeep-cli without arguments for the usage)\n";
        QTest::newRow("loan takes no arguments") << QStringList{"loan", "10000"} << 2 << ""
                                                 << "pursekeep-cli loan: unexpected argument '10000'\n";
        QTest::newRow("one argument missing") << QStringList{"due"} << 2 << ""
                                              << "pursekeep-cli due: expected 1 argument, got 0 (run "
                                                 "pursekeep-cli without arguments for the usage)\n";
        QTest::newRow("help due") << QStringList{"help", "due"} << 0 << "Usage: pursekeep-cli due [options] PLAN\n"
                                  << "";
        // A plan is a family of files and the CSV files a folder: neither is "-".
        const QString noPlan = "'-' cannot stand for PLAN: a plan is six files beside each other, which standard "
                               "input or output cannot hold; name its main file, such as home.pkb (./- for a file "
                               "named \"-\")\n";
        QTest::newRow("- as the plan read") << QStringList{"due", "-"} << 2 << "" << "pursekeep-cli due: " + noPlan;
        QTest::newRow("- as the plan written") << QStringList{"import", "csv", "-"} << 2 << ""
                                               << "pursekeep-cli import: " + noPlan;
        QTest::newRow("- as the CSV folder") << QStringList{"export", "a.pkb", "-"} << 2 << ""
                                             << "pursekeep-cli export: '-' cannot stand for DIR: the CSV files are "
                                                "five files in a folder; name the folder (./- for a folder named "
                                                "\"-\")\n";
    }
    void helpVersionAndRefusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run result = run(args);
        QCOMPARE(result.status, status);
        if (out.isEmpty())
            QCOMPARE(result.out, QString());
        else
            QVERIFY2(result.out.startsWith(out), qPrintable(result.out));
        QCOMPARE(result.err, err);
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
        QCOMPARE(none.err, "pursekeep-cli backups: \"" + plan + "\" has no backups (one is kept each time a save "
                           "replaces the plan)\n");
        QMap<QString, QByteArray> first;
        for (const QString &f : familyFiles(plan))
            first[f] = readFile(f);

        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nWage,Monthly,1000,Work,I,\n"
                                      "Rent,Monthly,400,Home,E,\n");
        const QString replaced = "pursekeep-cli %1: replaced the plan \"" + plan + "\"; the old one is kept as "
                                 "backup 1 (pursekeep-cli restore puts it back)\n";
        const Run replacing = run({"import", csv, plan});
        QCOMPARE(replacing.status, 0);
        QCOMPARE(replacing.err, replaced.arg("import"));
        const QRegularExpression line("^(\\d+)  \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d  (\\d+ items?)  (\\S+) a month$");
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
            QCOMPARE(readFile(f), first.value(f));
        QCOMPARE(listed(), QStringList({"1 2 items $600.00", "2 1 item $1000.00"}));

        const Run wrong = run({"restore", plan, "3"});
        QCOMPARE(wrong.status, 2);
        QCOMPARE(wrong.err, "pursekeep-cli restore: there is no backup 3 of \"" + plan + "\": give a number from 1 "
                            "to 2 (see pursekeep-cli backups)\n");
        for (const QString &f : familyFiles(plan))
            QCOMPARE(readFile(f), first.value(f));
    }

    // The plan of these reminders, imported as a user would bring them in.
    void importReminders(const QByteArray &rows, QString &plan)
    {
        const QString csv = folder("csv");
        writeFile(csv + "/reminders.csv", "cat_id,cat,item,dom,desc,month\n" + rows);
        plan = folder("plan") + "/home.pkb";
        const Run imported = run({"import", csv, plan});
        QCOMPARE(imported.err, QString());
        QCOMPARE(imported.status, 0);
    }

    // The reminders falling due in the span, one tab-separated line each in
    // date order, by the rule of the plan window's due-reminders bar.
    void due_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        const QString payslip = "I\tWork\tWage\tPayslip and \"bonus\" in December\n";
        QTest::newRow("across the year end")
            << QStringList{"--today", "2026-12-28", "--days", "7"}
            << "2026-12-28\t" + payslip + "2026-12-31\tE\tHome\tRent\tRent is due\n"
               "2027-01-02\tE\tCar\tInsurance\tRenew insurance\n";
        QTest::newRow("a week when --days is not given")
            << QStringList{"--today", "2026-12-24"}
            << "2026-12-24\tE\tGifts\tPresents\tBuy presents\n2026-12-28\t" + payslip
                   + "2026-12-31\tE\tHome\tRent\tRent is due\n";
        QTest::newRow("the 31st in a 30-day month") << QStringList{"--today", "2026-04-27", "--days", "3"}
                                                    << "2026-04-30\tE\tHome\tRent\tApril rent\n";
        QTest::newRow("the 29th of February in a common year") << QStringList{"--today", "2027-02-28", "--days", "0"}
                                                                << "2027-02-28\tI\tWork\tWage\tLeap pay\n";
        QTest::newRow("--days 0 is today") << QStringList{"--today", "2026-12-31", "--days", "0"}
                                           << "2026-12-31\tE\tHome\tRent\tRent is due\n";
        QTest::newRow("--days 0, nothing today") << QStringList{"--today", "2026-12-30", "--days", "0"} << "";
        QTest::newRow("a span longer than a year: a reminder twice")
            << QStringList{"--today", "2026-01-01", "--days", "366"}
            << "2026-01-02\tE\tCar\tInsurance\tRenew insurance\n2026-02-28\tI\tWork\tWage\tLeap pay\n"
               "2026-04-30\tE\tHome\tRent\tApril rent\n2026-12-24\tE\tGifts\tPresents\tBuy presents\n"
               "2026-12-28\t" + payslip + "2026-12-31\tE\tHome\tRent\tRent is due\n"
               "2027-01-02\tE\tCar\tInsurance\tRenew insurance\n";
    }
    void due()
    {
        QFETCH(QStringList, options);
        QString plan;
        importReminders("E,Car,Insurance,2,Renew insurance,1\n"
                        "E,Gifts,Presents,24,Buy presents,12\n"
                        "E,Home,Rent,31,April rent,4\n"
                        "E,Home,Rent,31,Rent is due,12\n"
                        "I,Work,Wage,28,\"Payslip\tand \"\"bonus\"\"\r\nin December\",12\n"
                        "I,Work,Wage,29,Leap pay,2\n",
                        plan);
        const Run result = run(QStringList{"due", plan} + options);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QTEST(result.out, "out");
    }

    // Without --today the system's date counts: reminders 1 and 6 days ahead
    // are due this week, one 9 days ahead is not (whichever side of a
    // midnight the program runs).
    void dueFromTheSystemDate()
    {
        const QDate today = QDate::currentDate();
        QByteArray rows;
        for (const int ahead : {1, 6, 9})
            rows += QStringLiteral("E,Home,Rent,%1,In %2 days,%3\n")
                        .arg(today.addDays(ahead).day())
                        .arg(ahead)
                        .arg(today.addDays(ahead).month())
                        .toUtf8();
        QString plan;
        importReminders(rows, plan);
        const Run result = run({"due", plan});
        QCOMPARE(result.status, 0);
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).endsWith("\tIn 1 days") && lines.at(1).endsWith("\tIn 6 days"), qPrintable(result.out));
        QCOMPARE(lines.at(1).section(u'\t', 0, 0), today.addDays(6).toString(Qt::ISODate));
    }

    // A plan without reminders: nothing to say, and no failure for a script.
    void dueOfAnEmptyPlan()
    {
        const QString csv = folder("csv");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\n");
        const QString plan = folder("plan") + "/empty.pkb";
        QCOMPARE(run({"import", csv, plan}).status, 0);
        const Run result = run({"due", plan, "--days", "3660"});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.err, QString());
    }

    // A bad date or span is one line on standard error, status 2, nothing
    // printed, as the other commands refuse their options.
    void dueRefusals_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("err");
        const QString days = "pursekeep-cli due: --days needs a whole number of days from 0 to 3660, not '%1'\n";
        const QString date = "pursekeep-cli due: --today needs a date as yyyy-MM-dd, not '%1'\n";
        QTest::newRow("30 February") << QStringList{"--today", "2026-02-30"} << date.arg("2026-02-30");
        QTest::newRow("a date as the program shows it") << QStringList{"--today", "30/12/2026"}
                                                        << date.arg("30/12/2026");
        QTest::newRow("a date without its zeros") << QStringList{"--today", "2026-1-5"} << date.arg("2026-1-5");
        QTest::newRow("negative days") << QStringList{"--days", "-1"} << days.arg("-1");
        QTest::newRow("days not whole") << QStringList{"--days", "7.5"} << days.arg("7.5");
        QTest::newRow("days in words") << QStringList{"--days", "seven"} << days.arg("seven");
        QTest::newRow("days empty") << QStringList{"--days="} << days.arg("");
        QTest::newRow("past ten years") << QStringList{"--days", "3661"} << days.arg("3661");
        QTest::newRow("past any int") << QStringList{"--days", "99999999999"} << days.arg("99999999999");
    }
    void dueRefusals()
    {
        QFETCH(QStringList, options);
        QString plan;
        importReminders("E,Home,Rent,1,Pay the rent,1\n", plan);
        const Run result = run(QStringList{"due", plan} + options);
        QCOMPARE(result.status, 2);
        QCOMPARE(result.out, QString());
        QTEST(result.err, "err");
    }

    // The "=" form and a repeated option (the last one counts) read as before.
    void optionForms()
    {
        const QString plan = folder("plan") + "/plan.pkb";
        const QString csv = folder("csv");
        writeFile(csv + "/items.csv", "item,freq,amount,cat,catid,notes\nWage,Weekly,100,Work,I,\n");
        QCOMPARE(run({"import", csv, plan, "--frequency=Daily", "--frequency", "Weekly"}).status, 0);
        const Run totals = run({"totals", plan, "--frequency=Weekly"});
        QCOMPARE(totals.status, 0);
        QVERIFY2(totals.out.startsWith("Income Total: $100.00\n"), qPrintable(totals.out));
        QCOMPARE(PlanFiles::readDisplayFrequencyText(plan + "ini"), QString("1"));
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
            QTest::addRow("%s text file", qPrintable(command))
                << command << text << "\"%1\" is not a valid plan file";
            QTest::addRow("%s missing", qPrintable(command)) << command << QByteArray("-") << "\"%1\" does not exist";
            QTest::addRow("%s folder", qPrintable(command)) << command << QByteArray("/") << "\"%1\" is not a plan file";
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
            writeFile(plan, readFile(plan).chopped(3));
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
