#include "DiskFailure.h"
#include "PdfText.h"
#include "TestFiles.h"

#include "plan/ProgramFolders.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the built `pursekeep-cli report plan|reminders` as a script would.
class TestReportCommands : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_plan;

    struct Run
    {
        int status = -1;
        QString err;
        QByteArray out;
    };
    // `outputFile` takes the program's standard output instead of a pipe;
    // `folder` is the folder it runs in.
    static Run run(const QStringList &args, qint64 fileSizeLimit = 0, const QString &outputFile = QString(),
                   const QString &folder = QString())
    {
        QProcess process;
        if (fileSizeLimit > 0)
            process.setChildProcessModifier([fileSizeLimit] { FileSizeLimit::apply(fileSizeLimit); });
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        if (!folder.isEmpty())
            process.setWorkingDirectory(folder);
        process.setProgram(QStringLiteral(PURSEKEEP_CLI));
        process.setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8"); // no currency symbol in the locale: "$"
        env.remove("QT_QPA_PLATFORM"); // the tool needs no screen of its own accord
        // The reports' GUI application wants a runtime folder of the user's.
        static const QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        process.setProcessEnvironment(env);
        process.start();
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError()), process.readAllStandardOutput()};
    }

    QString pdfPath(const QString &name) const
    {
        return m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                              + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u'-' + name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Plan plan;
        plan.items().appendRow({"Salary", "Monthly", 3000.0, "Work", "I", QString()});
        plan.items().appendRow({"Rent", "Monthly", 1200.0, "Housing", "E", QString()});
        plan.items().appendRow({"Bread", "Weekly", 12.25, "Food", "E", QString()});
        const QDateTime start(QDate(2024, 1, 1), QTime(12, 0));
        // Paid off at the end of 2024: counted on 30 June, not in 2025.
        plan.loans().appendRow({"Car", "Town Bank", 3000.0, 250.0, "Monthly", start, 12, start.addYears(1), 5.0});
        plan.reminders().appendRow({"E", "Housing", "Rent", 1, "Rent March", 3});
        plan.reminders().appendRow({"E", "Housing", "Rent", 1, "Rent April", 4});
        plan.reminders().appendRow({"E", "Food", "Bread", 20, "Bakery", 3});
        plan.reminders().appendRow({"I", "Work", "Salary", 28, "Payslip", 3});
        m_plan = m_dir.filePath("budget.pkb");
        PlanFiles::savePlan(plan, m_plan, PlanFiles::settingsFile(m_plan), 3); // Monthly
    }

    void planReport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("own frequency") << QStringList({"--today", "2024-06-30"})
                                       << QStringList(
                                              {"Date Created : 30/06/2024 Page : 1", "budget",
                                               "Monthly Income Total : $3000.00", "Monthly Expenses Total : $1253.27",
                                               "Monthly Loans Total : $250.00", "Monthly Budget Balance : $1496.73"});
        QTest::newRow("weekly, after the loan")
            << QStringList({"--frequency", "Weekly", "--today", "2025-02-01"})
            << QStringList({"Date Created : 01/02/2025 Page : 1", "Weekly Income Total : $689.94",
                            "Weekly Loans Total : $0.00", "Town Bank Car Monthly $250.00"});
    }

    void planReport()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, lines);
        const QString pdf = pdfPath("plan.pdf");
        const Run r = run(QStringList({"report", "plan", m_plan, "--pdf", pdf}) + options);
        QCOMPARE(r.status, 0);
        const QList<QStringList> pages = pdfPages(pdfText(pdf));
        QCOMPARE(pages.size(), 1);
        for (const QString &line : lines)
            QVERIFY2(pages.first().contains(line), qPrintable(line + " not in: " + pages.first().join(" | ")));
        // The footer names the folder the program keeps its files in, as the
        // window's print does, not the folder the tool was run from.
        const QString folder = ProgramFolders::writableFolder(QFileInfo(QStringLiteral(PURSEKEEP_CLI)).absolutePath());
        QVERIFY2(pages.first().join(" ").contains(folder),
                 qPrintable(folder + " not in: " + pages.first().join(" | ")));
    }

    void remindersReport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("expense in March")
            << QStringList({"--kind", "E", "--month", "3"})
            << QStringList({"Expense Reminders For : March Page No : 1", "Category : Food",
                            "Item : Description : Day Month", "/", "Bread Bakery 20 / 3", "Category : Housing",
                            "Item : Description : Day Month", "/", "Rent Rent March 1 / 3"});
        QTest::newRow("all income") << QStringList({"--kind", "I"})
                                    << QStringList({"Income Reminders Page No : 1", "Category : Work",
                                                    "Item : Description : Day Month", "/", "Salary Payslip 28 / 3"});
        QTest::newRow("none in that month") << QStringList({"--kind", "I", "--month", "12"})
                                            << QStringList({"Income Reminders For : December Page No : 1"});
    }

    void remindersReport()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, lines);
        const QString pdf = pdfPath("reminders.pdf");
        const Run r = run(QStringList({"report", "reminders", m_plan, "--pdf", pdf}) + options);
        QCOMPARE(r.status, 0);
        const QList<QStringList> pages = pdfPages(pdfText(pdf));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first(), lines);
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString plan = QStringLiteral("<plan>");
        QTest::newRow("unknown report") << QStringList({"report", "chart", plan}) << "give plan, reminders or loan";
        QTest::newRow("no pdf") << QStringList({"report", "plan", plan}) << "--pdf FILE is needed";
        QTest::newRow("missing plan") << QStringList({"report", "plan", "/nowhere/x.pkb"}) << "does not exist";
        QTest::newRow("bad kind") << QStringList({"report", "reminders", plan, "--kind", "e"})
                                  << "--kind needs I (income) or E";
        QTest::newRow("month 13") << QStringList({"report", "reminders", plan, "--kind", "E", "--month", "13"})
                                  << "--month needs a month number 1 to 12";
        QTest::newRow("unknown option") << QStringList({"report", "reminders", plan, "--kind", "E", "--today", "x"})
                                        << "unknown option --today";
    }

    void refusesBadInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        args.replaceInStrings("<plan>", m_plan);
        const QString pdf = pdfPath("bad.pdf");
        if (args.size() > 2 && !args.contains("chart") && message != QLatin1String("--pdf FILE is needed"))
            args << "--pdf" << pdf;
        const Run r = run(args);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains("pursekeep-cli report") && r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
    }

    void loanReport()
    {
        const QString pdf = pdfPath("loan.pdf");
        const Run r = run({"report", "loan", "--principal", "10000", "--years", "5", "--rate", "7.5", "--payment2",
                           "250", "--today", "2024-06-03", "--pdf", pdf});
        QCOMPARE(r.status, 0);
        const QList<QStringList> pages = pdfPages(pdfText(pdf));
        QCOMPARE(pages.size(), 4); // calculation 2 from page 3
        QCOMPARE(pages.at(0).mid(0, 2),
                 QStringList({"03/06/2024 Page : 1",
                              "Principal : $10000.00. Length of loan : 5 years. "
                              "Interest Rate : 7.50%."}));
        QVERIFY2(pages.at(2).contains("$250.00 46 $1543.05 $11543.05"), qPrintable(pages.at(2).join(" | ")));
    }

    void loanReportRefuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QStringList loan{"--principal", "10000", "--years", "5", "--rate", "7.5"};
        QTest::newRow("no pdf") << loan << "pursekeep-cli report loan: --pdf FILE is needed\n";
        QTest::newRow("no rate") << loan.mid(0, 4) << "Please enter the interest rate\n";
        QTest::newRow("too low") << loan + QStringList({"--payment2", "60"})
                                 << "pursekeep-cli report loan: --payment2: The payment you have selected is too "
                                    "low. Please select an amount greater than : $200.38\n";
    }

    void loanReportRefuses()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString pdf = pdfPath("loan.pdf");
        const Run r = run(QStringList({"report", "loan"}) + args
                          + (message.contains("--pdf") ? QStringList() : QStringList({"--pdf", pdf})));
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.endsWith(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
    }

    // The loan and the loan report read their options alike: a refusal names
    // the program, the command and the option, and writes nothing.
    void loanRefusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message"); // after "pursekeep-cli COMMAND: "
        const QStringList loan{"--principal", "10000", "--years", "5", "--rate", "7.5"};
        QTest::newRow("not a number") << QStringList({"--principal", "abc", "--years", "5", "--rate", "7.5"})
                                      << "--principal: 'abc' is not a number\n";
        QTest::newRow("a decimal comma") << QStringList({"--principal", "10000", "--years", "5", "--rate", "7,5"})
                                         << "--rate: '7,5' is not a number\n";
        QTest::newRow("an empty balance") << loan + QStringList({"--balance="}) << "--balance: '' is not a number\n";
        QTest::newRow("part of a year") << QStringList({"--principal", "10000", "--years", "5.5", "--rate", "7.5"})
                                        << "--years: '5.5' is not a whole number of years\n";
        QTest::newRow("far too long") << QStringList({"--principal", "10000", "--years", "1e12", "--rate", "7.5"})
                                      << "--years: The length of the loan can be at most 1000 years\n";
        QTest::newRow("no principal") << loan.mid(2) << "--principal: Please enter the amount you wish to borrow\n";
        QTest::newRow("too low") << loan + QStringList({"--payment2", "250", "--payment3", "60"})
                                 << "--payment3: The payment you have selected is too low. Please select an amount "
                                    "greater than : $200.38\n";
        QTest::newRow("more than the whole loan")
            << loan + QStringList({"--payment2", "60000"})
            << "--payment2: The payment you have selected is more than the whole loan: one payment of $10062.50 "
               "repays it. Please select a smaller amount\n";
        QTest::newRow("today not a date")
            << loan + QStringList({"--today", "3/6/2024"}) << "--today needs a date as yyyy-MM-dd, not '3/6/2024'\n";
    }
    void loanRefusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString file = pdfPath("loan");
        for (const QStringList &command :
             {QStringList({"loan", "--output", file}), QStringList({"report", "loan", "--pdf", file})}) {
            const Run r = run(command + args);
            QCOMPARE(r.status, 2);
            QCOMPARE(r.err, "pursekeep-cli " + command.mid(0, command.size() - 2).join(' ') + ": " + message);
            QCOMPARE(r.out, QByteArray());
            QVERIFY(!QFile::exists(file));
        }
    }

    // "-" is standard output for the one file a command writes; no file of
    // that name is made.
    void toStandardOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("line"); // a line of the output
        const QStringList loan{"--principal", "10000", "--years", "5", "--rate", "7.5", "--today", "2024-06-03"};
        QTest::newRow("plan report") << QStringList({"report", "plan", "<plan>", "--pdf", "-", "--today", "2024-06-30"})
                                     << "Monthly Budget Balance : $1496.73";
        QTest::newRow("reminders report")
            << QStringList({"report", "reminders", "<plan>", "--kind", "I", "--pdf=-"}) << "Salary Payslip 28 / 3";
        QTest::newRow("loan report") << QStringList({"report", "loan", "--pdf", "-"}) + loan
                                     << "Principal : $10000.00. Length of loan : 5 years. Interest Rate : 7.50%.";
        QTest::newRow("loan text") << QStringList({"loan", "--output", "-"}) + loan << "Monthly Payment : $200.38";
    }
    void toStandardOutput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, line);
        args.replaceInStrings("<plan>", m_plan);
        const QString folder = pdfPath("cwd");
        QVERIFY(QDir().mkpath(folder));
        const Run r = run(args, 0, QString(), folder);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        if (args.contains("loan") && !args.contains("report")) {
            QVERIFY2(r.out.contains(line.toUtf8() + "\r\n"), r.out.constData());
            // The same bytes as without --output.
            args.removeAt(args.indexOf("--output") + 1);
            args.removeOne("--output");
            QCOMPARE(run(args).out, r.out);
            return;
        }
        QVERIFY2(r.out.startsWith("%PDF-") && r.out.trimmed().endsWith("%%EOF"), r.out.left(200).constData());
        const QString pdf = pdfPath("out.pdf");
        writeFile(pdf, r.out);
        const QList<QStringList> pages = pdfPages(pdfText(pdf));
        QVERIFY(!pages.isEmpty());
        QVERIFY2(pages.first().contains(line), qPrintable(pages.first().join(" | ")));
    }

    // A full standard output is status 1 and says so, as a full disk does.
    void standardOutputThatCannotBeWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("report plan") << QStringList({"report", "plan", "<plan>", "--pdf", "-"});
        QTest::newRow("loan") << QStringList({"loan", "--principal", "10000", "--years", "5", "--rate", "7.5"});
        QTest::newRow("due") << QStringList({"due", "<plan>", "--today", "2024-03-01"});
        QTest::newRow("totals") << QStringList({"totals", "<plan>"});
    }
    void standardOutputThatCannotBeWritten()
    {
        QFETCH(QStringList, args);
        if (!QFileInfo(QStringLiteral("/dev/full")).isWritable())
            QSKIP("no /dev/full here");
        args.replaceInStrings("<plan>", m_plan);
        const Run r = run(args, 0, QStringLiteral("/dev/full"));
        QCOMPARE(r.status, 1);
        const QString command = args.first() == "report" ? "report " + args.at(1) : args.first();
        QCOMPARE(r.err, "pursekeep-cli " + command + ": cannot write to standard output\n");
    }

    void pdfThatCannotBeWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("plan") << QStringList({"report", "plan", "<plan>"});
        QTest::newRow("reminders") << QStringList({"report", "reminders", "<plan>", "--kind", "E"});
        QTest::newRow("loan") << QStringList(
            {"report", "loan", "--principal", "10000", "--years", "5", "--rate", "7.5"});
    }

    void pdfThatCannotBeWritten()
    {
        QFETCH(QStringList, args);
        args.replaceInStrings("<plan>", m_plan);
        const QString folder = pdfPath("disk");
        QVERIFY(QDir().mkpath(folder));
        const QString pdf = folder + "/report.pdf";
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the old report");
        }
        const Run r = run(args + QStringList({"--pdf", pdf}), 2048);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("File too large"), qPrintable(r.err));
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old report"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"report.pdf"}));
    }
};

QTEST_GUILESS_MAIN(TestReportCommands)
#include "tst_reportcommands.moc"
