#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"
#include "plan/Clock.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

class TestLoanTextFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Clock::reset();
    }

    void shortFileExactBytes()
    {
        LoanPage page;
        page.principal = 1000;
        page.years = 1;
        page.rate = 12;
        calc_loan_details(LoanCalcMode::ChosenPayment, 1, 1000, 12, 600, 0, page.calculations[0]);
        const QByteArray header = "Payment No :  Interest Paid :  Principal Paid :   Outstanding Balance :\r\n";
        const QByteArray emptyRow = QByteArray(72, ' ') + "\r\n";
        const QByteArray untouched = "Monthly Payment : $0.00\r\n"
                                     "Number of Payments : 0\r\n"
                                     "Total Interest Paid : $0.00\r\n"
                                     "Total Paid Back : $0.00\r\n"
                                     " \r\n"
            + header + emptyRow + " \r\n";
        const QByteArray expected = "Kavo Loan Calculator Report.\r\n \r\nMonday, June 3, 2024.\r\n \r\n"
                                    "Principal : $1000.00.\r\n \r\nLength of loan : 1 years.\r\n \r\n"
                                    "Interest Rate : 12.00%.\r\n \r\n \r\n"
                                    "SCENARIO : 1\r\n"
                                    "Monthly Payment : $600.00\r\n"
                                    "Number of Payments : 2\r\n"
                                    "Total Interest Paid : $14.10\r\n"
                                    "Total Paid Back : $1014.10\r\n"
                                    " \r\n"
            + header
            + "1              $10.00           $590.00            $410.00              \r\n"
              "2              $14.10           $1000.00           $0.00                \r\n"
              " \r\n"
              "SCENARIO : 2\r\n"
            + untouched + "SCENARIO : 3\r\n" + untouched;
        QCOMPARE(LoanTextFile::bytes(page, QDate(2024, 6, 3)), expected);
    }

    void cellsAreNeverCut()
    {
        const ScheduleRow wide{"123456789012345", "$123456789012345.00", "$1.00", "$0.00"};
        QCOMPARE(LoanTextFile::scheduleLine(wide),
                 "123456789012345$123456789012345.00$1.00" + QString(12, ' ') + "$0.00" + QString(16, ' '));
    }

    void longScheduleLastLine()
    {
        LoanPage page;
        calc_loan_details(LoanCalcMode::LevelPayment, 50, 10000, 7.5, 0, 0, page.calculations[0]);
        const QStringList lines = LoanTextFile::text(page, QDate(2024, 6, 3)).split("\r\n");
        const int header = lines.indexOf("Payment No :  Interest Paid :  Principal Paid :   Outstanding Balance :");
        QCOMPARE(lines[header + 600],
                 "600" + QString(12, ' ') + "$28414.02" + QString(8, ' ') + "$10000.00" + QString(10, ' ') + "$0.00"
                     + QString(16, ' '));
        QCOMPARE(lines[header + 601], " ");
        QCOMPARE(lines[header + 602], "SCENARIO : 2");
    }

    void foreignSymbolIsUtf8AndPaddedByCharacters()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        LoanPage page;
        page.principal = 10000;
        calc_loan_details(LoanCalcMode::LevelPayment, 5, 10000, 7.5, 0, 0, page.calculations[0]);
        const QByteArray bytes = LoanTextFile::bytes(page, QDate(2024, 6, 3));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes).split("\r\n");
        QCOMPARE(lines[2], QStringLiteral("Montag, Juni 3, 2024."));
        QCOMPARE(lines[4], QStringLiteral("Principal : €10000,00."));
        QCOMPARE(lines[18],
                 "1" + QString(14, ' ') + "€62,50" + QString(11, ' ') + "€137,88" + QString(12, ' ') + "€9862,12"
                     + QString(13, ' '));
    }

    void writeUsesTodayAndReportsFailure()
    {
        QTemporaryDir dir;
        Clock::set(QDateTime(QDate(2024, 6, 3), QTime(9, 0)));
        const LoanPage page;
        QString error;
        QVERIFY(LoanTextFile::write(dir.filePath("loan.txt"), page, &error));
        QFile written(dir.filePath("loan.txt"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), LoanTextFile::bytes(page, QDate(2024, 6, 3)));

        const QString missing = dir.filePath("no/such/folder/loan.txt");
        QVERIFY(!LoanTextFile::write(missing, page, &error));
        QVERIFY2(error.contains(missing), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestLoanTextFile)
#include "tst_loantextfile.moc"
