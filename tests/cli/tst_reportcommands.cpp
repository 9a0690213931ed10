#include "DiskFailure.h"
#include "PdfText.h"

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
    };
    static Run run(const QStringList &args, qint64 fileSizeLimit = 0)
    {
        QProcess process;
        if (fileSizeLimit > 0)
            process.setChildProcessModifier([fileSizeLimit] { FileSizeLimit::apply(fileSizeLimit); });
        process.setProgram(QStringLiteral(PURSEKEEP_CLI));
        process.setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8"); // no currency symbol in the locale: "$"
        env.remove("QT_QPA_PLATFORM");   // the tool needs no screen of its own accord
        process.setProcessEnvironment(env);
        process.start();
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError())};
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
                                       << QStringList({"Date Created : 30/06/2024 Page : 1", "budget",
                                                       "Monthly Income Total : $3000.00",
                                                       "Monthly Expenses Total : $1253.27",
                                                       "Monthly Loans Total : $250.00",
                                                       "Monthly Budget Balance : $1496.73"});
        QTest::newRow("weekly, after the loan") << QStringList({"--frequency", "Weekly", "--today", "2025-02-01"})
                                                << QStringList({"Date Created : 01/02/2025 Page : 1",
                                                                "Weekly Income Total : $689.94",
                                                                "Weekly Loans Total : $0.00",
                                                                "Town Bank Car Monthly $250.00"});
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
        QVERIFY2(pages.first().join(" ").contains(folder), qPrintable(folder + " not in: " + pages.first().join(" | ")));
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
                                                    "Item : Description : Day Month", "/",
                                                    "Salary Payslip 28 / 3"});
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
        QCOMPARE(pages.at(0).mid(0, 2), QStringList({"03/06/2024 Page : 1",
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
        // Too low with no earlier schedule: the grid's empty row does not read.
        QTest::newRow("too low at once") << loan + QStringList({"--payment2", "60"})
                                         << "greater than : $200.38\n'' is not a valid integer value\n";
    }

    void loanReportRefuses()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString pdf = pdfPath("loan.pdf");
        const Run r = run(QStringList({"report", "loan"}) + args + (message.contains("--pdf") ? QStringList()
                                                                                              : QStringList({"--pdf", pdf})));
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.endsWith(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(pdf));
    }

    void pdfThatCannotBeWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("plan") << QStringList({"report", "plan", "<plan>"});
        QTest::newRow("reminders") << QStringList({"report", "reminders", "<plan>", "--kind", "E"});
        QTest::newRow("loan") << QStringList({"report", "loan", "--principal", "10000", "--years", "5", "--rate", "7.5"});
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
