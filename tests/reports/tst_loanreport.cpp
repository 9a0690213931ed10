#include "PdfText.h"

#include "loancalc/LoanPage.h"
#include "reports/LoanReport.h"
#include "reports/ReportPainter.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

// The printed loan report of one calculator page: its checks, its tables
// filled from the grids, its pages and the PDF a reader gets.
class TestLoanReport : public QObject
{
    Q_OBJECT

    // 10000 over 5 years at 7.5 %, run as the page's Calculate buttons would.
    static LoanReportInput loan(double payment2 = 0, double payment3 = 0, double principal = 10000, int years = 5,
                                double rate = 7.5)
    {
        LoanPage p;
        p.principal = principal, p.years = years, p.rate = rate;
        p.calculate(1);
        for (int k : {2, 3}) {
            p.calculations[k - 1].payment = k == 2 ? payment2 : payment3;
            if (p.calculations[k - 1].payment > 0)
                p.calculate(k);
        }
        return LoanReport::fromPage(p, QDate(2024, 6, 3));
    }

    static QStringList texts(const ReportLayout &layout, const QString &name)
    {
        QStringList out;
        for (const ReportPage &page : layout.pages)
            for (const ReportItem *item : page.itemsNamed(name))
                out << item->text;
        return out;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The bands of every page, detail rows left out: a section with no
    // payment prints nothing, and each later section starts a new page.
    void sectionsAndPages_data()
    {
        QTest::addColumn<double>("payment2");
        QTest::addColumn<double>("payment3");
        QTest::addColumn<QStringList>("pages");
        const QString one = "PageHeaderBand1 TitleBand1 GroupHeaderBand1 PageFooterBand1";
        const QString rest = "PageHeaderBand1 PageFooterBand1"; // rows 44 to 60
        QTest::newRow("calculation 1 only") << 0.0 << 0.0 << QStringList({one, rest});
        QTest::newRow("all three") << 250.0 << 1000.0
                                   << QStringList({one, rest, "PageHeaderBand1 GroupHeaderBand2 PageFooterBand1", rest,
                                                   "PageHeaderBand1 GroupHeaderBand3 PageFooterBand1"});
    }

    void sectionsAndPages()
    {
        QFETCH(double, payment2);
        QFETCH(double, payment3);
        const ReportLayout layout = LoanReport(loan(payment2, payment3)).layout();
        QStringList pages;
        for (const ReportPage &page : layout.pages) {
            QStringList names;
            for (const PlacedBand &band : page.bands)
                if (!band.name.startsWith("DetailBand"))
                    names << band.name;
            pages << names.join(' ');
        }
        QTEST(pages, "pages");
        QCOMPARE(texts(layout, "PageHeaderBand1.page").last(), QString::number(pages.size()));
        QCOMPARE(texts(layout, "qrlpayment2").isEmpty(), payment2 == 0);
    }

    // Page B's own values, its typed-over number of payments read as a
    // whole number, in place and colour.
    void labelsOfPageB_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("x"); // left edge, or right edge when right-aligned
        QTest::addColumn<bool>("white");
        QTest::newRow("principal") << "QRLabel1"
                                   << "Principal : $20000.00." << 8.0 << true;
        QTest::newRow("length") << "QRLabel2"
                                << "Length of loan : 10 years." << 264.0 << true;
        QTest::newRow("rate") << "QRLabel3"
                              << "Interest Rate : 5.00%." << 496.0 << true;
        QTest::newRow("payment 1") << "qrlpayment1"
                                   << "$212.13" << 265.0 << false;
        QTest::newRow("interest 1") << "qrltotalint1"
                                    << "$5455.72" << 561.0 << false;
        QTest::newRow("count 2 typed") << "qrlnop2"
                                       << "77" << 409.0 << false;
        QTest::newRow("paid 2") << "qrltotal2"
                                << "$23478.98" << 673.0 << false;
        QTest::newRow("caption") << "GroupHeaderBand2.paymentcaption"
                                 << "Minimum Monthly Payment" << 265.0 << false;
        QTest::newRow("row, system format") << "DetailBand2.balance"
                                            << "$19,783.33" << 440.0 << false;
        QTest::newRow("page caption") << "PageHeaderBand1.pagecaption"
                                      << "Page  :" << 630.0 << true;
        QTest::newRow("product") << "PageFooterBand1.product"
                                 << "Kavo Pursekeep V3 - Loan Calculator" << 8.0 << false;
    }

    void labelsOfPageB()
    {
        QFETCH(QString, name);
        QFETCH(qreal, x);
        LoanReportInput input = loan(300, 0, 20000, 10, 5);
        input.calculations[1].numberOfPayments = " 77";
        const ReportLayout layout = LoanReport(input).layout();
        const ReportItem *item = nullptr;
        for (const ReportPage &page : layout.pages)
            item = item ? item : page.item(name);
        QVERIFY2(item, qPrintable(name));
        QTEST(item->text, "text");
        QCOMPARE(item->alignment & Qt::AlignRight ? item->rect.right() : item->rect.left(), x);
        QTEST(item->colour == QColor(Qt::white), "white");
    }

    void sixtyRowsInOrder()
    {
        const LoanReport report(loan());
        QCOMPARE(report.kbms1().rowCount(), 60);
        QStringList numbers;
        for (int row = 0; row < 60; ++row)
            numbers << QString::number(row + 1);
        const ReportLayout layout = report.layout();
        QCOMPARE(texts(layout, "DetailBand1.payment"), numbers);
        QCOMPARE(texts(layout, "DetailBand1.principal").last(), "$10,000.00");
        QCOMPARE(report.kbms1().visibleValue(59, 3).toDouble(), 0.0);
    }

    // The whole symbol comes off a cell before it is read; the rows are put
    // in payment order.
    void currencySymbolStripped_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<double>("value");
        QTest::newRow("kr") << "kr"
                            << "kr9862.12" << 9862.12;
        QTest::newRow("kr negative") << "kr"
                                     << "-kr5.00" << -5.0;
        QTest::newRow("dollar") << "$"
                                << "$0.00" << 0.0;
    }

    void currencySymbolStripped()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, cell);
        LoanReportInput input = loan();
        input.currencySymbol = symbol;
        input.calculations[0].schedule = {{"2", symbol + "1.00", symbol + "2.00", cell},
                                          {"1", symbol + "62.50", symbol + "137.88", symbol + "3.00"}};
        const LoanReport report(input);
        QCOMPARE(report.message(), QString());
        QCOMPARE(report.kbms1().visibleValue(0, 1).toDouble(), 62.5);
        QTEST(report.kbms1().visibleValue(1, 3).toDouble(), "value");
        QCOMPARE(report.layout().pages.first().item("QRLabel1")->text, "Principal : " + symbol + "10000.00.");
    }

    // Refused as too low after a schedule of 46: the zero result and the
    // rows the grid still holds.
    void tooLowPrintsItsValuesAndOldRows()
    {
        LoanReportInput input = loan(250);
        input.calculations[1].payment = 60;
        input.calculations[1].numberOfPayments = "0";
        input.calculations[1].totalInterest = input.calculations[1].totalPaid = 0;
        const ReportLayout layout = LoanReport(input).layout();
        QCOMPARE(texts(layout, "qrlnop2") + texts(layout, "qrlpayment2") + texts(layout, "qrltotal2"),
                 QStringList({"0", "$60.00", "$0.00"}));
        QCOMPARE(texts(layout, "DetailBand2.payment").size(), 46);
    }

    void refusals_data()
    {
        QTest::addColumn<LoanReportInput>("input");
        QTest::addColumn<QString>("message");
        LoanReportInput in = loan();
        auto with = [](LoanReportInput i, const std::function<void(LoanReportInput &)> &change) {
            change(i);
            return i;
        };
        QTest::newRow("amount first") << with(in, [](auto &i) { i.principal = 0, i.years = 0; })
                                      << "Please enter the amount you wish to borrow";
        QTest::newRow("length") << with(in, [](auto &i) { i.years = 0, i.rate = 0; })
                                << "Please enter the length of the loan";
        QTest::newRow("rate") << with(in, [](auto &i) { i.rate = 0, i.calculations[0].payment = 0; })
                              << "Please enter the interest rate";
        QTest::newRow("nothing") << with(in, [](auto &i) { i.calculations[0].payment = 0; })
                                 << "You have not calculated any loan details";
        QTest::newRow("count typed") << with(in, [](auto &i) { i.calculations[0].numberOfPayments = "4x"; })
                                     << "'4x' is not a valid integer value";
        QTest::newRow("grid never filled")
            << with(in, [](auto &i) { i.calculations[2].payment = 250; }) << "'' is not a valid integer value";
        QTest::newRow("cell") << with(in, [](auto &i) { i.calculations[0].schedule[7].balance = "$1,000.00"; })
                              << "'1,000.00' is not a valid floating point value";
        QTest::newRow("below zero is left out") << with(in, [](auto &i) { i.calculations[1].payment = -5; }) << "";
    }

    void refusals()
    {
        QFETCH(LoanReportInput, input);
        QFETCH(QString, message);
        const LoanReport report(input);
        QCOMPARE(report.message(), message);
        QCOMPARE(report.refusal() == LoanReport::Refusal::None, message.isEmpty());
    }

    void pdfReadBack()
    {
        QTemporaryDir dir;
        ReportPainter::writePdf(LoanReport(loan()).layout(), dir.filePath("loan.pdf"));
        const QList<QStringList> pages = pdfPages(::pdfText(dir.filePath("loan.pdf")));
        QCOMPARE(pages.size(), 2);
        QCOMPARE(
            pages.first().mid(0, 6),
            QStringList(
                {"03/06/2024 Page : 1", "Principal : $10000.00. Length of loan : 5 years. Interest Rate : 7.50%.",
                 "Scenario : 1 Minimum Monthly Payment Number Of Payments Total Interest Payable "
                 "Total Paid Back",
                 "$200.38 60 $2022.77 $12022.77",
                 "Payment No: Interest Paid : Principal Paid : Outstanding Balance :", "1 $62.50 $137.88 $9,862.12"}));
        QCOMPARE(pages.last().mid(pages.last().size() - 4),
                 QStringList({"60 $2,022.77 $10,000.00 $0.00", "Kavo Pursekeep V3 - Loan Calculator", "Kavo Software",
                              "www.kavopursekeep.example"}));
    }
};

QTEST_MAIN(TestLoanReport)
#include "tst_loanreport.moc"
