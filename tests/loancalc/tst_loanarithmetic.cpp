#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanPage.h"

#include <QLocale>
#include <QtTest>
#include <limits>

using Row = QStringList;

class TestLoanArithmetic : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void roundedPaymentCount_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<qint64>("n");
        QTest::newRow("10.5 to even") << 10.5 << qint64(10);
        QTest::newRow("11.5 to even") << 11.5 << qint64(12);
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("negative") << -35.6 << qint64(0);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << qint64(0);
    }
    void roundedPaymentCount()
    {
        QFETCH(double, x);
        QTEST(::roundedPaymentCount(x), "n");
    }

    void calcterm_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("payment");
        QTest::addColumn<qint64>("n");
        QTest::newRow("x = 46.17") << 7.5 << 250.0 << qint64(46);
        QTest::newRow("below first interest") << 7.5 << 60.0 << qint64(0);
        QTest::newRow("first interest exactly (s = 1)") << 7.5 << 62.5 << qint64(0);
        QTest::newRow("zero rate") << 0.0 << 250.0 << qint64(0);
        QTest::newRow("negative payment") << 7.5 << -250.0 << qint64(0);
        QTest::newRow("x = 1.69") << 12.0 << 6000.0 << qint64(2);
        QTest::newRow("x = 0.34") << 12.0 << 30000.0 << qint64(0);
    }
    void calcterm()
    {
        QFETCH(double, rate);
        QFETCH(double, payment);
        QTEST(::calcterm(12, rate, payment, 10000), "n");
    }

    // Every field of one calculation of 10000 borrowed, monthly balance 500.
    void calculation_data()
    {
        QTest::addColumn<bool>("level");
        QTest::addColumn<int>("years");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("chosen");
        QTest::addColumn<qint64>("n");
        QTest::addColumn<double>("payment");
        QTest::addColumn<double>("interest");
        QTest::addColumn<double>("paid");
        QTest::addColumn<double>("budget");
        QTest::addColumn<Row>("lastRow");
        const Row untouched = {"", "", "", ""};
        QTest::newRow("5 years") << true << 5 << 7.5 << 0.0 << qint64(60) << 200.38 << 2022.77 << 12022.77 << 299.62
                                 << Row{"60", "$2022.77", "$10000.00", "$0.00"};
        QTest::newRow("payment 250") << false << 5 << 7.5 << 250.0 << qint64(46) << 250.0 << 1543.05 << 11543.05
                                     << 250.0 << Row{"46", "$1543.05", "$10000.00", "$0.00"};
        QTest::newRow("50 years") << true << 50 << 7.5 << 0.0 << qint64(600) << 64.02 << 28414.02 << 38414.02 << 435.98
                                  << Row{"600", "$28414.02", "$10000.00", "$0.00"};
        QTest::newRow("too low") << false << 5 << 7.5 << 60.0 << qint64(0) << 60.0 << 0.0 << 0.0 << 440.0 << untouched;
        QTest::newRow("s = 1") << false << 5 << 7.5 << 62.5 << qint64(0) << 62.5 << 0.0 << 0.0 << 437.5 << untouched;
        QTest::newRow("zero rate, chosen")
            << false << 5 << 0.0 << 250.0 << qint64(0) << 250.0 << 0.0 << 0.0 << 250.0 << untouched;
        QTest::newRow("negative length") << true << -5 << 7.5 << 0.0 << qint64(-60) << -137.88 << 0.0 << 0.0 << 637.88
                                         << untouched;
        // (1 + i) below zero: the level formula is NaN; the payment reads 0.
        QTest::newRow("rate below -1200 %") << true << 5 << -1300.0 << 0.0 << qint64(60) << 0.0 << -10833.33 << -833.33
                                            << 500.0 << Row{"60", "-$10833.33", "$10000.00", "$0.00"};
    }
    void calculation()
    {
        QFETCH(bool, level);
        QFETCH(int, years);
        QFETCH(double, rate);
        QFETCH(double, chosen);
        QFETCH(qint64, n);
        LoanCalculation fields; // untouched: one empty grid row
        calc_loan_details(level ? LoanCalcMode::LevelPayment : LoanCalcMode::ChosenPayment, years, 10000, rate, chosen,
                          500, fields);
        QCOMPARE(fields.numberOfPayments, n);
        QTEST(fields.payment, "payment");
        QTEST(fields.totalInterest, "interest");
        QTEST(fields.totalPaid, "paid");
        QTEST(fields.budgetBalance, "budget");
        QCOMPARE(fields.schedule.size(), std::max<qint64>(n, 1));
        const ScheduleRow &last = fields.schedule.last();
        QTEST((Row{last.payment, last.interest, last.principal, last.balance}), "lastRow");
    }

    void runningTotalsGrowAndBalanceFalls()
    {
        LoanCalculation fields;
        calc_loan_details(LoanCalcMode::LevelPayment, 50, 10000, 7.5, 0, 0, fields);
        QCOMPARE(fields.schedule.first(), (ScheduleRow{"1", "$62.50", "$1.52", "$9998.48"}));
        const auto value = [](QString text) { return text.remove('$').toDouble(); };
        for (qsizetype r = 1; r < fields.schedule.size(); ++r) {
            const ScheduleRow &a = fields.schedule[r - 1], &b = fields.schedule[r];
            QVERIFY2(value(b.interest) >= value(a.interest), qPrintable(b.payment));
            QVERIFY2(value(b.principal) >= value(a.principal), qPrintable(b.payment));
            QVERIFY2(value(b.balance) <= value(a.balance), qPrintable(b.payment));
        }
    }

    void shorterScheduleDropsStaleRowsAndRefusalKeepsThem()
    {
        LoanCalculation fields;
        calc_loan_details(LoanCalcMode::LevelPayment, 50, 10000, 7.5, 0, 0, fields);
        calc_loan_details(LoanCalcMode::ChosenPayment, 50, 10000, 7.5, 250, 0, fields);
        QCOMPARE(fields.schedule.size(), 46);
        calc_loan_details(LoanCalcMode::ChosenPayment, 50, 10000, 7.5, 60, 0, fields);
        QCOMPARE(fields.numberOfPayments, 0);
        QCOMPARE(fields.schedule.last().payment, QStringLiteral("46"));
    }

    // Calculate 2 of a page, as its button runs it.
    void pageCalculate_data()
    {
        QTest::addColumn<double>("principal");
        QTest::addColumn<int>("years");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("payment2");
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("payment1"); // calculation 1's payment afterwards
        QTest::newRow("blank page") << 0.0 << 0 << 0.0 << 250.0 << "Please enter the amount you wish to borrow" << 0.0;
        QTest::newRow("no length") << 10000.0 << 0 << 7.5 << 250.0 << "Please enter the length of the loan" << 0.0;
        QTest::newRow("no rate") << 10000.0 << 5 << 0.0 << 250.0 << "Please enter the interest rate" << 0.0;
        QTest::newRow("no payment") << 10000.0 << 5 << 7.5 << 0.0 << "Please enter a monthly payment amount" << 200.38;
        QTest::newRow("too low") << 10000.0 << 5 << 7.5 << 60.0
                                 << "The payment you have selected is too low. Please select an "
                                    "amount greater than : $200.38"
                                 << 200.38;
        QTest::newRow("fills calculation 1 first") << 10000.0 << 5 << 7.5 << 250.0 << "" << 200.38;
    }
    void pageCalculate()
    {
        QFETCH(double, principal);
        QFETCH(int, years);
        QFETCH(double, rate);
        QFETCH(double, payment2);
        LoanPage page;
        page.principal = principal;
        page.years = years;
        page.rate = rate;
        page.calculations[1].payment = payment2;
        QTEST(page.message(page.calculate(2)), "message");
        QTEST(page.calculations[0].payment, "payment1");
    }
};

QTEST_GUILESS_MAIN(TestLoanArithmetic)
#include "tst_loanarithmetic.moc"
