#include "PlanCommandTest.h"

#include "plan/PlanFiles.h"

// Runs the built `pursekeep-cli totals|due` as a script would: the totals
// and the reminders falling due of an imported plan, and the command line
// itself: help, version, the option forms and what it refuses.
class TestQueryCommands : public PlanCommandTest
{
    Q_OBJECT

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

private slots:
    void initTestCase() { startCommandTests(); }

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
        QTest::newRow("worked example") << worked << noSavings << noLoans << QStringList{"--frequency", "Monthly"}
                                        << "Income Total: $1000.00\nExpense Total: $526.13\nSavings Goals: $0.00\n"
                                           "Total Loans: $0.00\nBalance: $473.87\n";
        QTest::newRow("plan's own frequency") << worked << noSavings << noLoans << QStringList{}
                                              << "Income Total: $459.96\nExpense Total: $242.00\nSavings Goals: $0.00\n"
                                                 "Total Loans: $0.00\nBalance: $217.96\n";

        const QByteArray goal = noSavings + "Car,1000,2024-01-01,2024-06-15,Weekly,10\n";
        const QByteArray loan = noLoans + "Car,Bank,5000,20,Weekly,2020-01-01,5,2024-06-15,7.5\n";
        const QStringList weekly = {"--frequency", "Weekly", "--today"};
        QTest::newRow("goal finishing today") << noItems << goal << noLoans << weekly + QStringList{"2024-06-15"}
                                              << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $0.00\n"
                                                 "Total Loans: $0.00\nBalance: $0.00\n";
        QTest::newRow("goal finishing tomorrow") << noItems << goal << noLoans << weekly + QStringList{"2024-06-14"}
                                                 << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $10.00\n"
                                                    "Total Loans: $0.00\nBalance: -$10.00\n";
        QTest::newRow("loan finishing today") << noItems << noSavings << loan << weekly + QStringList{"2024-06-15"}
                                              << "Income Total: $0.00\nExpense Total: $0.00\nSavings Goals: $0.00\n"
                                                 "Total Loans: $0.00\nBalance: $0.00\n";
        QTest::newRow("loan finishing tomorrow") << noItems << noSavings << loan << weekly + QStringList{"2024-06-14"}
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
        QTest::newRow("missing: Fortnightly, as the program opens it")
            << QByteArray("-") << QStringList{} << 0 << "Income Total: $459.96\n";
        QTest::newRow("missing, option given")
            << QByteArray("-") << QStringList{"--frequency", "Monthly"} << 0 << "Income Total: $1000.00\n";
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

    // Help and version on standard output with status 0; a wrong command or
    // option is one line on standard error with status 2.
    void helpVersionAndRefusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // what standard output starts with
        QTest::addColumn<QString>("err"); // standard error, whole
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: pursekeep-cli COMMAND"
                                << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage: pursekeep-cli COMMAND"
                            << "";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "pursekeep-cli 3.0\n"
                                   << "";
        QTest::newRow("help import") << QStringList{"help", "import"} << 0
                                     << "Usage: pursekeep-cli import [options] DIR PLAN\n"
                                     << "";
        QTest::newRow("import --help") << QStringList{"import", "--help"} << 0
                                       << "Usage: pursekeep-cli import [options] DIR PLAN\n"
                                       << "";
        QTest::newRow("help report loan")
            << QStringList{"help", "report", "loan"} << 0 << "Usage: pursekeep-cli report loan [options]\n"
            << "";
        QTest::newRow("report reminders --help") << QStringList{"report", "reminders", "--help"} << 0
                                                 << "Usage: pursekeep-cli report reminders [options] PLAN\n"
                                                 << "";
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
        QTest::newRow("- as the plan read") << QStringList{"due", "-"} << 2 << ""
                                            << "pursekeep-cli due: " + noPlan;
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

    // The reminders falling due in the span, one tab-separated line each in
    // date order, by the rule of the plan window's due-reminders bar.
    void due_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        const QString payslip = "I\tWork\tWage\tPayslip and \"bonus\" in December\n";
        QTest::newRow("across the year end") << QStringList{"--today", "2026-12-28", "--days", "7"}
                                             << "2026-12-28\t" + payslip
                + "2026-12-31\tE\tHome\tRent\tRent is due\n"
                  "2027-01-02\tE\tCar\tInsurance\tRenew insurance\n";
        QTest::newRow("a week when --days is not given") << QStringList{"--today", "2026-12-24"}
                                                         << "2026-12-24\tE\tGifts\tPresents\tBuy presents\n2026-12-28\t"
                + payslip + "2026-12-31\tE\tHome\tRent\tRent is due\n";
        QTest::newRow("the 31st in a 30-day month")
            << QStringList{"--today", "2026-04-27", "--days", "3"} << "2026-04-30\tE\tHome\tRent\tApril rent\n";
        QTest::newRow("the 29th of February in a common year")
            << QStringList{"--today", "2027-02-28", "--days", "0"} << "2027-02-28\tI\tWork\tWage\tLeap pay\n";
        QTest::newRow("--days 0 is today")
            << QStringList{"--today", "2026-12-31", "--days", "0"} << "2026-12-31\tE\tHome\tRent\tRent is due\n";
        QTest::newRow("--days 0, nothing today") << QStringList{"--today", "2026-12-30", "--days", "0"} << "";
        QTest::newRow("a span longer than a year: a reminder twice")
            << QStringList{"--today", "2026-01-01", "--days", "366"}
            << "2026-01-02\tE\tCar\tInsurance\tRenew insurance\n2026-02-28\tI\tWork\tWage\tLeap pay\n"
               "2026-04-30\tE\tHome\tRent\tApril rent\n2026-12-24\tE\tGifts\tPresents\tBuy presents\n"
               "2026-12-28\t"
                + payslip
                + "2026-12-31\tE\tHome\tRent\tRent is due\n"
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
        QTest::newRow("a date as the program shows it")
            << QStringList{"--today", "30/12/2026"} << date.arg("30/12/2026");
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
};

QTEST_GUILESS_MAIN(TestQueryCommands)
#include "tst_querycommands.moc"
