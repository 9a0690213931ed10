#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the built `pursekeep-cli loan` as a user would from a terminal.
class TestLoanCommand : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Run
    {
        int status = -1;
        QByteArray out;
        QString err;
    };
    Run run(const QStringList &args)
    {
        QProcess process;
        process.setProgram(QStringLiteral(PURSEKEEP_CLI));
        process.setArguments(QStringList{"loan"} + args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8"); // no currency symbol: "$" and English names
        process.setProcessEnvironment(env);
        process.start();
        process.waitForFinished(30000);
        return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    void inputsAndMessages_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");
        QTest::addColumn<bool>("written");

        const QStringList loan = {"--principal", "10000", "--years", "5", "--rate", "7.5"};
        QTest::newRow("good") << loan + QStringList{"--payment2", "250", "--payment3", "300"} << 0 << "" << true;
        QTest::newRow("no principal") << QStringList{"--years", "5", "--rate", "7.5"} << 2
                                      << "pursekeep-cli loan: --principal: Please enter the amount you wish to "
                                         "borrow\n"
                                      << false;
        QTest::newRow("zero payment") << loan + QStringList{"--payment3", "0"} << 2
                                      << "pursekeep-cli loan: --payment3: Please enter a monthly payment amount\n"
                                      << false;
        QTest::newRow("too low is refused")
            << loan + QStringList{"--payment2", "60"} << 2
            << "pursekeep-cli loan: --payment2: The payment you have selected is too low. Please select an amount "
               "greater than : $200.38\n"
            << false;
        QTest::newRow("longest int of years")
            << QStringList{"--principal", "10000", "--years", "2147483647", "--rate", "5"} << 2
            << "pursekeep-cli loan: --years: The length of the loan can be at most 1000 years\n"
            << false;
        QTest::newRow("a payment taking forever")
            << QStringList{"--principal", "10000", "--years", "5", "--rate", "0.01", "--payment2", "0.5"} << 2
            << "pursekeep-cli loan: --payment2: The payment you have selected would take more than 12000 payments "
               "(1000 years) to repay the loan. Please select a larger amount\n"
            << false;
        QTest::newRow("unknown option") << loan + QStringList{"--colour", "red"} << 2
                                        << "pursekeep-cli loan: unknown option --colour\n"
                                        << false;
    }
    void inputsAndMessages()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, written);
        const QString path = m_dir.filePath(QTest::currentDataTag() + QStringLiteral(".txt"));
        const Run result = run(args + QStringList{"--today", "2024-06-03", "--output", path});
        QTEST(result.status, "status");
        QTEST(result.err, "err");
        QCOMPARE(QFile::exists(path), written);
    }

    void stdoutAndFileHoldTheSameBytes()
    {
        const QStringList args = {"--principal", "10000",      "--years", "5",       "--rate",
                                  "7.5",         "--payment2", "250",     "--today", "2024-06-03"};
        const QString path = m_dir.filePath("same.txt");
        const Run toStdout = run(args);
        QCOMPARE(run(args + QStringList{"--output", path}).status, 0);
        QCOMPARE(toStdout.out, readAll(path));
        QVERIFY(toStdout.out.contains("Outstanding Balance :\r\n1              $62.50           "
                                      "$137.88            $9862.12             \r\n2 "));
        QVERIFY(toStdout.out.contains("SCENARIO : 2\r\nMonthly Payment : $250.00\r\n"
                                      "Number of Payments : 46\r\nTotal Interest Paid : $1543.05\r\n"
                                      "Total Paid Back : $11543.05\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestLoanCommand)
#include "tst_loancommand.moc"
