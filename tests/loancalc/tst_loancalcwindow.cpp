#include "GuiTestSupport.h"
#include "TestFiles.h"
#include "TestWidgets.h"

#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanTextFile.h"
#include "loanwindow/ScheduleModel.h"
#include "loanwindow/frm_loan_calc.h"
#include "widgets/CurrencyBox.h"

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QApplication>
#include <QTemporaryDir>

// The loan calculator window: the Calculate buttons and their checks, the
// spin steps that recalculate, the pages' editability and Save To File.
class TestLoanCalcWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_loan_calc> m_calc;

    CurrencyBox *money(const QString &name) { return child<CurrencyBox>(m_calc.get(), name); }
    QString text(const QString &name) { return child<QLineEdit>(m_calc.get(), name)->text(); }
    void click(const QString &name) { QTest::mouseClick(child<QPushButton>(m_calc.get(), name), Qt::LeftButton); }
    // The example loan: 10000 over 5 years at 7.5 %.
    void enterExample(const QString &page = "A")
    {
        const int index = page == "A" ? 0 : page == "B" ? 1 : 2;
        m_calc->findChild<QTabWidget *>("pc_loan")->setCurrentIndex(index);
        money("ceprincipal_" + page)->setValue(10000);
        const QString lengths[3] = {"Rxlgth_A", "RXlgth_B", "rxlgth_C"};
        const QString rates[3] = {"RxRate_A", "RXrate_B", "rxrate_C"};
        child<QSpinBox>(m_calc.get(), lengths[index])->setValue(5);
        child<QDoubleSpinBox>(m_calc.get(), rates[index])->setValue(7.5);
    }
    int scheduleRows(const QString &grid) { return child<QTableView>(m_calc.get(), grid)->model()->rowCount(); }
    QString scheduleCell(const QString &grid, int row, int column)
    {
        QAbstractItemModel *model = child<QTableView>(m_calc.get(), grid)->model();
        return model->index(row, column).data().toString();
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }
    void init()
    {
        GuiTest::init();
        m_calc = std::make_unique<Tfrm_loan_calc>(Tfrm_loan_calc::MonthlyFigures{500, 1200, 1700, 100, 50}, nullptr);
        m_calc->setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(testModels<ScheduleModel>(m_calc.get()), 9); // three schedules on each of the three pages
        m_calc->show();
    }
    void cleanup()
    {
        m_calc.reset();
        GUITEST_CLEANUP();
    }

    void topStripAndLayout()
    {
        QCOMPARE(m_calc->windowTitle(), QString("Kavo Loan Calculator"));
        QCOMPARE(money("cecurrentbal")->value(), 500.0);
        QVERIFY(money("cecurrentbal")->isReadOnly());
        QCOMPARE(money("cetotalout")->value(), 1350.0); // expenses + savings + loans
        // Typing in the other figures changes nothing else.
        money("ceinc")->setValue(99999);
        enterExample();
        click("btncalcA1");
        QCOMPARE(money("cetotalout")->value(), 1350.0);
        QCOMPARE(money("cebudgetbalA_1")->value(), 299.62);

        QStringList entries;
        for (QAction *a : m_calc->menuBar()->actions().front()->menu()->actions())
            entries << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(entries,
                 QStringList({"&Save To File", "-", "Print Pre&view", "&Print", "-", "&Close Loan Calculator"}));
        auto *grid = child<QTableView>(m_calc.get(), "sgsC_3");
        QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QString("Balance"));
        QCOMPARE(grid->model()->rowCount(), 1);
    }

    void calculationOne()
    {
        enterExample();
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList());
        QCOMPARE(money("cePaymentA_1")->text(), QString("$200.38"));
        QCOMPARE(text("eb_nopA_1"), QString("60"));
        QCOMPARE(scheduleRows("sgsA_1"), 60);
        QCOMPARE(scheduleCell("sgsA_1", 59, 3), QString("$0.00"));
        QVERIFY(m_calc->calcdone(0, 1));
    }

    void checksBeforeCalculating_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("filled"); // 0 nothing, 1 amount, 2 and length, 3 and rate
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("calculation 2 on an empty page")
            << "btncalcA2" << 0 << "Please enter the amount you wish to borrow"
            << "ceprincipal_A";
        QTest::newRow("no length") << "btncalcA1" << 1 << "Please enter the length of the loan"
                                   << "Rxlgth_A";
        QTest::newRow("no rate") << "btncalcA3" << 2 << "Please enter the interest rate"
                                 << "RxRate_A";
        QTest::newRow("no payment") << "btncalcA2" << 3 << "Please enter a monthly payment amount"
                                    << "cepaymentA_2";
    }

    // One message, the focus where to correct, and nothing else changed.
    void checksBeforeCalculating()
    {
        QFETCH(QString, button);
        QFETCH(int, filled);
        QFETCH(QString, focus);
        m_calc->activateWindow();
        if (filled >= 1)
            money("ceprincipal_A")->setValue(10000);
        if (filled >= 2)
            child<QSpinBox>(m_calc.get(), "Rxlgth_A")->setValue(5);
        if (filled >= 3)
            child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->setValue(7.5);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click(button);
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QTEST(shown.front().text, "message");
        QCOMPARE(shown.front().kind, MessageBox::Kind::Error);
        QWidget *expected = child<QWidget>(m_calc.get(), focus);
        QVERIFY(m_calc->focusWidget() == expected || expected->isAncestorOf(m_calc->focusWidget()));
        QCOMPARE(text("eb_nopA_2"), QString("0"));
        QCOMPARE(scheduleRows("sgsA_2"), 1);
        QCOMPARE(m_calc->calcdone(0, 2), false);
        // Calculation 1 runs first when its payment is empty; it succeeded here
        // only when the inputs were all there.
        QCOMPARE(money("cePaymentA_1")->value() != 0, filled == 3);
    }

    void alternativePayments()
    {
        enterExample();
        money("cepaymentA_2")->setValue(250);
        click("btncalcA2"); // fills calculation 1 first
        QCOMPARE(GuiTest::shownTexts(), QStringList());
        QCOMPARE(money("cePaymentA_1")->value(), 200.38);
        QCOMPARE(text("eb_nopA_2"), QString::number(calcterm(12, 7.5, 250, 10000)));
        QVERIFY(m_calc->calcdone(0, 1) && m_calc->calcdone(0, 2));

        // Too low, although above the first month's interest of 62.50.
        money("cepaymentA_3")->setValue(60);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA3");
        QCOMPARE(
            GuiTest::shownTexts(),
            QStringList{"The payment you have selected is too low. Please select an amount greater than : $200.38"});
        QCOMPARE(text("eb_nopA_3"), QString("0"));
        QVERIFY(!m_calc->calcdone(0, 3));
        QVERIFY(child<QWidget>(m_calc.get(), "cepaymentA_3")->hasFocus() || !m_calc->isActiveWindow());
    }

    // A field a message sends the focus back to takes what is typed in place
    // of what it held: 7 years, not 70; 9 %, not 90; a new payment, not more
    // digits after the refused one.
    void correctedFieldsTakeWhatIsTyped()
    {
        QApplication::setActiveWindow(m_calc.get());
        QVERIFY(QTest::qWaitForWindowActive(m_calc.get()));
        money("ceprincipal_A")->setValue(10000);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Please enter the length of the loan"});
        QTest::keyClicks(m_calc->focusWidget(), "7");
        QCOMPARE(child<QSpinBox>(m_calc.get(), "Rxlgth_A")->value(), 7);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Please enter the interest rate"});
        QTest::keyClicks(m_calc->focusWidget(), "9");
        QCOMPARE(child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->value(), 9.0);
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList());

        money("cepaymentA_3")->setValue(60);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA3");
        QVERIFY(GuiTest::shownTexts().front().startsWith("The payment you have selected is too low."));
        QCOMPARE(m_calc->focusWidget(), child<QWidget>(m_calc.get(), "cepaymentA_3"));
        QTest::keyClicks(m_calc->focusWidget(), "250");
        click("btncalcA3");
        QCOMPARE(GuiTest::shownTexts(), QStringList());
        QCOMPARE(money("cepaymentA_3")->value(), 250.0);
        QCOMPARE(text("eb_nopA_3"), QString::number(calcterm(12, 9, 250, 10000)));
    }

    // A loan whose schedule would be beyond the most the calculator works
    // out is refused, saying what the most is; a payment above the whole
    // loan is told as such; the most there is still works.
    void lengthsAndPaymentsWithinReach()
    {
        enterExample();
        child<QSpinBox>(m_calc.get(), "Rxlgth_A")->setValue(1000000);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList{"The length of the loan can be at most 1000 years"});
        QCOMPARE(scheduleRows("sgsA_1"), 1);
        QVERIFY(!m_calc->calcdone(0, 1));

        // At 0.01 % a payment of 50 cents repays 10,000 in about 22,000 months.
        child<QSpinBox>(m_calc.get(), "Rxlgth_A")->setValue(5);
        child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->setValue(0.01);
        money("cepaymentA_2")->setValue(0.5);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA2");
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"The payment you have selected would take more than 12000 payments (1000 years) to "
                             "repay the loan. Please select a larger amount"});
        QCOMPARE(scheduleRows("sgsA_2"), 1);

        child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->setValue(7.5);
        click("btncalcA1");
        money("cepaymentA_3")->setValue(30000);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        click("btncalcA3");
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"The payment you have selected is more than the whole loan: one payment of $10062.50 "
                             "repays it. Please select a smaller amount"});

        child<QSpinBox>(m_calc.get(), "Rxlgth_A")->setValue(1000);
        click("btncalcA1");
        QCOMPARE(GuiTest::shownTexts(), QStringList());
        QCOMPARE(scheduleRows("sgsA_1"), 12000);
        QCOMPARE(scheduleCell("sgsA_1", 11999, 3), QString("$0.00"));
    }

    // A typed payment that was never worked out: printing says to calculate it.
    void printAsksForTheCalculationFirst()
    {
        enterExample("B");
        click("btncalcb1");
        money("cepaymentB_2")->setValue(250);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_calc->printReport(true);
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"Scenario 2's payment has not been calculated: press its Calculate button first"});
    }

    // A rate step reruns every calculation done; a length step only the first.
    void spinStepsRecalculate()
    {
        enterExample();
        money("cepaymentA_2")->setValue(250);
        money("cepaymentA_3")->setValue(300);
        click("btncalcA2");
        click("btncalcA3");
        const QString nop2 = text("eb_nopA_2");
        const QString nop3 = text("eb_nopA_3");
        const double payment1 = money("cePaymentA_1")->value();

        child<QSpinBox>(m_calc.get(), "Rxlgth_A")->stepBy(1); // 6 years
        QVERIFY(money("cePaymentA_1")->value() < payment1);
        QCOMPARE(text("eb_nopA_1"), QString("72"));
        QCOMPARE(text("eb_nopA_2"), nop2);

        const double total2 = money("cetotalA_2")->value();
        const double total3 = money("cetotalA_3")->value();
        child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->stepBy(100); // 8.50 %
        QCOMPARE(child<QDoubleSpinBox>(m_calc.get(), "RxRate_A")->value(), 8.5);
        QVERIFY(money("cetotalA_2")->value() > total2);
        QVERIFY(money("cetotalA_3")->value() > total3);
        QVERIFY(text("eb_nopA_3") != nop3 || money("cetotalintA_3")->value() > 0);
        QCOMPARE(GuiTest::shownTexts(), QStringList());

        // Typing a new value starts nothing.
        child<QSpinBox>(m_calc.get(), "Rxlgth_A")->setValue(10);
        QCOMPARE(text("eb_nopA_1"), QString("72"));
    }

    void pagesDifferInWhatTheyTake()
    {
        for (const QString name : {"cePaymentA_1", "cetotalintA_2", "cetotalA_3", "cebudgetbalA_1"})
            QVERIFY2(money(name)->isReadOnly(), qPrintable(name));
        QVERIFY(child<QLineEdit>(m_calc.get(), "eb_nopA_2")->isReadOnly());
        QVERIFY(!money("cepaymentA_2")->isReadOnly() && !money("cepaymentA_3")->isReadOnly());
        for (const QString name : {"cepaymentB_1", "cetotalintB_2", "cetotalC_3", "cebudgetbalC_1"})
            QVERIFY2(!money(name)->isReadOnly(), qPrintable(name));
        QVERIFY(!child<QLineEdit>(m_calc.get(), "eb_nopC_2")->isReadOnly());
        // Each page calculates on its own values.
        enterExample("B");
        click("btncalcb1");
        QCOMPARE(money("cepaymentB_1")->value(), 200.38);
        QCOMPARE(money("cePaymentA_1")->value(), 0.0);
    }

    // Save To File asks once per page, then writes the page again to its file;
    // the file is the one the core writer makes for the same values.
    void saveToFile()
    {
        QTemporaryDir dir;
        enterExample();
        money("cepaymentA_2")->setValue(250);
        click("btncalcA2");
        FileDialog::queuePath(dir.filePath("loan.txt"));
        m_calc->findChild<QAction *>("SaveToFile1")->trigger();
        const auto requests = FileDialog::takeRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.front().title, QString("Save Loan Calculations As"));
        QCOMPARE(requests.front().defaultSuffix, QString("txt"));
        QCOMPARE(requests.front().filter, QString("Pursekeep files (*.txt)"));
        const QByteArray saved = readAll(dir.filePath("loan.txt"));
        QCOMPARE(saved, LoanTextFile::bytes(*m_calc->pageValues(0), Clock::today()));
        // What was typed on page A and what its second scenario worked out.
        for (const QByteArray &line :
             {QByteArray("\r\nMonday, June 15, 2026.\r\n"), QByteArray("\r\nPrincipal : $10000.00.\r\n"),
              QByteArray("\r\nLength of loan : 5 years.\r\n"), QByteArray("\r\nInterest Rate : 7.50%.\r\n"),
              QByteArray("\r\nSCENARIO : 2\r\nMonthly Payment : $250.00\r\n"
                         "Number of Payments : 46\r\nTotal Interest Paid : $1543.05\r\n"
                         "Total Paid Back : $11543.05\r\n")})
            QVERIFY2(saved.contains(line), line.constData());
        QCOMPARE(m_calc->savefile(0), dir.filePath("loan.txt"));

        QFile::remove(dir.filePath("loan.txt"));
        m_calc->findChild<QAction *>("SaveToFile1")->trigger(); // no dialog the second time
        QCOMPARE(FileDialog::takeRequests().size(), 0);
        QVERIFY(QFile::exists(dir.filePath("loan.txt")));

        // Page B has its own file; a typed number of payments that is not a
        // whole number stops before any dialog.
        m_calc->findChild<QTabWidget *>("pc_loan")->setCurrentIndex(1);
        child<QLineEdit>(m_calc.get(), "eb_nopB_2")->setText("4x");
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_calc->findChild<QAction *>("SaveToFile1")->trigger();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"'4x' is not a valid integer value"});
        QCOMPARE(FileDialog::takeRequests().size(), 0);
        QCOMPARE(m_calc->savefile(1), QString());
    }
};

QTEST_MAIN(TestLoanCalcWindow)
#include "tst_loancalcwindow.moc"
