#include "PdfText.h"

#include "plan/Plan.h"
#include "reports/PlanReport.h"
#include "reports/RemindersReport.h"
#include "reports/ReportBand.h"
#include "reports/ReportPainter.h"

#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The plan report and the reminders report as their pages lay them out and as
// a PDF reader reads them back.
class TestPlanReports : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static void addItem(Plan &plan, const QString &kind, const QString &cat, const QString &item, const QString &freq,
                        double amount)
    {
        plan.items().appendRow({item, freq, amount, cat, kind, QString()});
    }
    static void addReminder(Plan &plan, const QString &kind, const QString &cat, const QString &item, int dom,
                            int month, const QString &desc)
    {
        plan.reminders().appendRow({kind, cat, item, dom, desc, month});
    }

    // Income "Work" (three items, added out of name order), expense "Food"
    // and "Housing", one goal and one loan.
    static void fillPlan(Plan &plan)
    {
        addItem(plan, Kind::Income, "Work", "Salary", "Monthly", 3000);
        addItem(plan, Kind::Income, "Work", "Bonus", "Yearly", 1200);
        addItem(plan, Kind::Income, "Work", "Tips", "Weekly", 50.5);
        addItem(plan, Kind::Expense, "Housing", "Rent", "Monthly", 1200);
        addItem(plan, Kind::Expense, "Food", "Bread", "Weekly", 12.25);
        const QDateTime start(QDate(2024, 1, 1), QTime(12, 0));
        plan.savings().appendRow({"Holiday", 2400.0, start, start.addYears(2), "Monthly", 100.0});
        plan.loans().appendRow({"Car", "Town Bank", 9000.0, 250.0, "Monthly", start, 36, start.addYears(3), 7.5});
    }

    static PlanReportInput input(Plan &plan, const QString &planfile = QStringLiteral("/plans/budget.pkb"))
    {
        PlanReportInput in;
        in.plan = &plan;
        in.displayFrequencyName = QStringLiteral("Monthly");
        // Stored totals, printed as they are (not recomputed from the plan).
        in.totals = {1234.5, 0.004, 0, 250.125, -12.5};
        in.cursymbol = QStringLiteral("$");
        in.planfile = planfile;
        in.programFolder = QStringLiteral("/opt/pursekeep");
        in.today = QDate(2024, 6, 30);
        return in;
    }

    // "name=text" of the named items on a page, top to bottom.
    static QStringList sequence(const ReportPage &page, const QStringList &names)
    {
        QList<const ReportItem *> found;
        for (const ReportItem &item : page.items)
            if (names.contains(item.name))
                found << &item;
        std::stable_sort(found.begin(), found.end(),
                         [](const ReportItem *a, const ReportItem *b) { return a->rect.top() < b->rect.top(); });
        QStringList out;
        for (const ReportItem *item : found)
            out << item->name + u'=' + item->text;
        return out;
    }

    // The words of a PDF's first page and their boxes in points, as
    // pdftotext -bbox reads them.
    struct Word
    {
        QString text;
        QRectF box;
    };
    static QList<Word> pdfWords(const QString &pdf)
    {
        QProcess process;
        process.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
        if (!process.waitForFinished(30000))
            return {};
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        QList<Word> words;
        for (auto it = word.globalMatch(QString::fromUtf8(process.readAllStandardOutput())); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            words.append({m.captured(5),
                          QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
        }
        return words;
    }
    // Points between the end of `word` and the start of the next word on its
    // line (a large number when none follows).
    static qreal roomAfter(const QList<Word> &words, const Word &word)
    {
        qreal room = 1e6;
        for (const Word &w : words)
            if (std::abs(w.box.center().y() - word.box.center().y()) < 3 && w.box.left() > word.box.left())
                room = std::min(room, w.box.left() - word.box.right());
        return room;
    }

    static QStringList bandNames(const ReportPage &page)
    {
        QStringList names;
        for (const PlacedBand &band : page.bands)
            names << band.name;
        return names;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void labelsAndPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("edge"); // "left" or "right": which edge is placed
        QTest::addColumn<qreal>("x");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");

        QTest::newRow("date") << "PageHeaderBand1.date"
                              << "30/06/2024"
                              << "" << 0.0 << 10 << false;
        QTest::newRow("title") << "PageHeaderBand1.title"
                               << "budget"
                               << "left" << 302.0 << 12 << true;
        QTest::newRow("page") << "PageHeaderBand1.page"
                              << "1"
                              << "" << 0.0 << 10 << false;
        QTest::newRow("category") << "QRGroup2.caption"
                                  << "Category :"
                                  << "left" << 8.0 << 10 << true;
        QTest::newRow("item caption") << "QRGroup2.itemcaption"
                                      << "Item :"
                                      << "left" << 184.0 << 10 << true;
        QTest::newRow("freq caption") << "QRGroup2.freqcaption"
                                      << "Frequency :"
                                      << "left" << 480.0 << 10 << true;
        QTest::newRow("amount caption") << "QRGroup2.amountcaption"
                                        << "Amount :"
                                        << "left" << 624.0 << 10 << true;
        QTest::newRow("item") << "QRSubDetail1.item"
                              << "Bonus"
                              << "left" << 184.0 << 10 << false;
        QTest::newRow("item freq") << "QRSubDetail1.freq"
                                   << "Yearly"
                                   << "left" << 480.0 << 10 << false;
        // Detail amounts in the system currency format, at the item's own frequency.
        QTest::newRow("item amount") << "QRSubDetail1.amount"
                                     << "$1,200.00"
                                     << "right" << 689.0 << 10 << false;
        QTest::newRow("income freq") << "QRLincfreq"
                                     << "Monthly"
                                     << "right" << 494.0 << 10 << true;
        QTest::newRow("income caption") << "QRBand3.caption"
                                        << "Income Total :"
                                        << "left" << 496.0 << 10 << true;
        QTest::newRow("income total") << "QRLinctotal"
                                      << "$1234.50"
                                      << "right" << 689.0 << 10 << true;
        QTest::newRow("expense freq") << "QRLexpfreq"
                                      << "Monthly"
                                      << "right" << 494.0 << 10 << true;
        QTest::newRow("expense total") << "QRLexptotal"
                                       << "$0.00"
                                       << "right" << 689.0 << 10 << true;
        QTest::newRow("goal") << "QRSubDetail3.desc"
                              << "Holiday"
                              << "left" << 184.0 << 10 << false;
        QTest::newRow("goal amount") << "QRSubDetail3.freqamount"
                                     << "$100.00"
                                     << "right" << 689.0 << 10 << false;
        QTest::newRow("savings total") << "QRLsavtotal"
                                       << "$0.00"
                                       << "right" << 689.0 << 10 << true;
        QTest::newRow("lender") << "QRSubDetail4.lender"
                                << "Town Bank"
                                << "left" << 8.0 << 10 << false;
        QTest::newRow("purpose") << "QRSubDetail4.purpose"
                                 << "Car"
                                 << "left" << 184.0 << 10 << false;
        QTest::newRow("loan freq") << "QRSubDetail4.payfreq"
                                   << "Monthly"
                                   << "left" << 480.0 << 10 << false;
        QTest::newRow("payment") << "QRSubDetail4.minpay"
                                 << "$250.00"
                                 << "right" << 689.0 << 10 << false;
        QTest::newRow("loans total") << "QRL_lntotal"
                                     << "$250.13"
                                     << "right" << 689.0 << 10 << true;
        QTest::newRow("balance freq") << "QRL_budfreq"
                                      << "Monthly"
                                      << "right" << 494.0 << 10 << true;
        QTest::newRow("balance caption") << "QRBand7.caption"
                                         << "Budget Balance :"
                                         << "left" << 496.0 << 10 << true;
        QTest::newRow("balance") << "QRL_budtotal"
                                 << "-$12.50"
                                 << "right" << 689.0 << 10 << true;
        QTest::newRow("vendor") << "PageFooterBand1.vendor"
                                << "Kavo Software"
                                << "left" << 8.0 << 10 << true;
        QTest::newRow("product") << "PageFooterBand1.product"
                                 << "Kavo Pursekeep V3"
                                 << "left" << 8.0 << 11 << true;
        QTest::newRow("web") << "PageFooterBand1.web"
                             << "www.kavopursekeep.example"
                             << "left" << 8.0 << 8 << false;
        QTest::newRow("path") << "qrlpath"
                              << "/opt/pursekeep"
                              << "left" << 336.0 << 8 << false;
    }

    void labelsAndPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, edge);
        QFETCH(qreal, x);
        QFETCH(int, points);
        QFETCH(bool, bold);

        Plan plan;
        fillPlan(plan);
        const ReportLayout layout = PlanReport(input(plan)).layout();
        QCOMPARE(layout.pages.size(), 1);
        QCOMPARE(layout.title, QStringLiteral("budget"));
        const ReportItem *item = layout.pages.first().item(name);
        QVERIFY2(item, qPrintable(name));
        QCOMPARE(item->text, text);
        if (edge == QLatin1String("left"))
            QCOMPARE(item->rect.left(), x);
        else if (edge == QLatin1String("right"))
            QCOMPARE(item->rect.right(), x);
        if (edge == QLatin1String("right"))
            QVERIFY(item->alignment & Qt::AlignRight);
        QCOMPARE(item->font.family(), QStringLiteral("Arial"));
        QCOMPARE(item->font.pointSize(), points);
        QCOMPARE(item->font.bold(), bold);
        QCOMPARE(item->font.italic(), name == QLatin1String("PageHeaderBand1.title"));
    }

    void copiesOfThePlanTables()
    {
        Plan plan;
        fillPlan(plan);
        const QDateTime start(QDate(2020, 1, 1), QTime(12, 0));
        // A finished goal is printed although the totals leave it out.
        plan.savings().appendRow({"Old bike", 300.0, start, start.addYears(1), "Weekly", 6.0});
        const PlanReport report(input(plan));
        QCOMPARE(report.kbmitems().name(), QStringLiteral("kbmitems"));
        QCOMPARE(report.kbmitems().rowCount(), 3);
        QCOMPARE(report.kbmitemsexp().rowCount(), 2);
        QCOMPARE(report.kbmsavings().rowCount(), 2);
        QCOMPARE(report.kbmloans().rowCount(), 1);
        QCOMPARE(report.kbmitemsexp().fields().size(), Plan::itemFields().size());
        QCOMPARE(report.kbmsavings().visibleValue(1, 0).toString(), QStringLiteral("Old bike"));
        QCOMPARE(report.qrlpath(), QStringLiteral("/opt/pursekeep"));
    }

    void emptyPlanPrintsItsHeaders()
    {
        Plan plan;
        PlanReportInput in = input(plan, QStringLiteral("Untitled1"));
        in.totals = {};
        const ReportLayout layout = PlanReport(in).layout();
        QCOMPARE(layout.pages.size(), 1);
        QCOMPARE(bandNames(layout.pages.first()),
                 QStringList({"PageHeaderBand1", "GroupHeaderBand1", "QRBand3", "GroupHeaderBand2", "QRBand4",
                              "QRBand1", "QRBand5", "QRBand2", "QRBand6", "QRBand7", "PageFooterBand1"}));
        QCOMPARE(layout.pages.first().item("QRLsavtotal")->text, QStringLiteral("$0.00"));
        QCOMPARE(layout.pages.first().item("PageHeaderBand1.title")->text, QStringLiteral("Untitled1"));

        const QString pdf = m_dir.filePath("empty.pdf");
        ReportPainter::writePdf(layout, pdf);
        const QList<QStringList> pages = pdfPages(::pdfText(pdf));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages.first().contains("Monthly Savings Total : $0.00"), qPrintable(pages.first().join('|')));
        QVERIFY(pages.first().contains("Savings Items"));
    }

    // The PDF as a reader sees it: the sections in order, categories in
    // table order with their items in name order under one heading each,
    // section footers at "Monthly" with the symbol and 0.00 form, the items
    // at their own frequencies.
    void pdfReadBack()
    {
        Plan plan;
        fillPlan(plan);
        addItem(plan, Kind::Income, "Gifts", "Aunt", "Yearly", 100);
        const QString pdf = m_dir.filePath("plan.pdf");
        ReportPainter::writePdf(PlanReport(input(plan)).layout(), pdf);
        const QList<QStringList> pages = pdfPages(::pdfText(pdf));
        QCOMPARE(pages.size(), 1);
        const QStringList expected{"Date Created : 30/06/2024 Page : 1",
                                   "budget",
                                   "Income Items",
                                   "Category : Gifts",
                                   "Item : Frequency : Amount :",
                                   "Aunt Yearly $100.00",
                                   "Category : Work",
                                   "Item : Frequency : Amount :",
                                   "Bonus Yearly $1,200.00",
                                   "Salary Monthly $3,000.00",
                                   "Tips Weekly $50.50",
                                   "Monthly Income Total : $1234.50",
                                   "Expense Items",
                                   "Category : Food",
                                   "Item : Frequency : Amount :",
                                   "Bread Weekly $12.25",
                                   "Category : Housing",
                                   "Item : Frequency : Amount :",
                                   "Rent Monthly $1,200.00",
                                   "Monthly Expenses Total : $0.00",
                                   "Savings Items",
                                   "Holiday Monthly $100.00",
                                   "Monthly Savings Total : $0.00",
                                   "Loans",
                                   "Town Bank Car Monthly $250.00",
                                   "Monthly Loans Total : $250.13",
                                   "Monthly Budget Balance : -$12.50",
                                   "Kavo Software",
                                   "Kavo Pursekeep V3",
                                   "www.kavopursekeep.example /opt/pursekeep"};
        QCOMPARE(pages.first(), expected);
    }

    void longPlanBreaksOntoNumberedPages()
    {
        Plan plan;
        for (int c = 0; c < 12; ++c)
            for (int i = 0; i < 12; ++i)
                addItem(plan, c % 2 ? Kind::Expense : Kind::Income,
                        QStringLiteral("Cat %1").arg(c, 2, 10, QLatin1Char('0')),
                        QStringLiteral("Item %1").arg(i, 2, 10, QLatin1Char('0')), "Weekly", 10 + i);
        const ReportLayout layout = PlanReport(input(plan)).layout();
        QVERIFY(layout.pages.size() >= 3);
        int details = 0;
        for (qsizetype p = 0; p < layout.pages.size(); ++p) {
            const ReportPage &page = layout.pages.at(p);
            QCOMPARE(page.bands.first().name, QStringLiteral("PageHeaderBand1"));
            QCOMPARE(page.bands.first().rect.top(), 0.0);
            QCOMPARE(page.bands.last().name, QStringLiteral("PageFooterBand1"));
            QCOMPARE(page.bands.last().rect.bottom(), ReportLayout::kPrintableHeight);
            QCOMPARE(page.item("PageHeaderBand1.page")->text, QString::number(p + 1));
            const qreal footerTop = page.bands.last().rect.top();
            for (qsizetype b = 1; b + 1 < page.bands.size(); ++b) {
                const PlacedBand &band = page.bands.at(b);
                QVERIFY2(band.rect.bottom() <= footerTop, qPrintable(band.name));
                QCOMPARE(band.rect.top(), page.bands.at(b - 1).rect.bottom()); // stacked, no gaps
                if (band.name.startsWith(QLatin1String("QRSubDetail")))
                    ++details;
            }
            // A category heading is never left alone at the foot of a page.
            const QString lastBand = page.bands.at(page.bands.size() - 2).name;
            QVERIFY2(!lastBand.startsWith(QLatin1String("QRGroup")), qPrintable(lastBand));
        }
        QCOMPARE(details, 144);

        const QString pdf = m_dir.filePath("long.pdf");
        ReportPainter::writePdf(layout, pdf);
        const QList<QStringList> pages = pdfPages(::pdfText(pdf));
        QCOMPARE(pages.size(), layout.pages.size());
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QCOMPARE(pages.at(p).first(), QStringLiteral("Date Created : 30/06/2024 Page : %1").arg(p + 1));
            QCOMPARE(pages.at(p).at(pages.at(p).size() - 2), QStringLiteral("Kavo Pursekeep V3"));
        }
    }

    // 44 income items in one category leave just the room for the expense
    // section's heading and its category heading at the foot of page 1: both
    // go to page 2 with the first expense item.
    void headingsNeverEndAPage_data()
    {
        QTest::addColumn<int>("incomeItems");
        for (int n : {42, 43, 44, 45})
            QTest::addRow("%d income items", n) << n;
    }

    void headingsNeverEndAPage()
    {
        QFETCH(int, incomeItems);
        Plan plan;
        for (int i = 0; i < incomeItems; ++i)
            addItem(plan, Kind::Income, "Work", QStringLiteral("Pay %1").arg(i, 2, 10, QLatin1Char('0')), "Weekly", 10);
        addItem(plan, Kind::Expense, "Home", "Rent", "Monthly", 500);
        addItem(plan, Kind::Expense, "Home", "Water", "Monthly", 40);
        const ReportLayout layout = PlanReport(input(plan)).layout();
        const QStringList headings{"GroupHeaderBand1", "QRGroup2", "GroupHeaderBand2",
                                   "QRGroup1",         "QRBand1",  "QRBand2"};
        for (const ReportPage &page : layout.pages) {
            const QString last = page.bands.at(page.bands.size() - 2).name;
            QVERIFY2(!headings.contains(last), qPrintable(last));
        }

        const QString pdf = m_dir.filePath("headings.pdf");
        ReportPainter::writePdf(layout, pdf);
        const QList<QStringList> pages = pdfPages(::pdfText(pdf));
        for (const QStringList &lines : pages) {
            const QString lastBodyLine = lines.at(lines.size() - 4); // above the three footer lines
            QVERIFY2(lastBodyLine != QLatin1String("Expense Items") && !lastBodyLine.startsWith("Category :"),
                     qPrintable(lines.join('\n')));
        }
        QStringList all;
        for (const QStringList &lines : pages)
            all << lines;
        const QString text = all.join('\n');
        QVERIFY2(text.contains("Expense Items\nCategory : Home\nItem : Frequency : Amount :\nRent Monthly $500.00"),
                 qPrintable(text));
    }

    // Texts too long for their columns end in "…" a clear gap before the
    // next column, the reminders title well before "Page No :"; a PDF reader
    // finds them apart where the glyphs are drawn.
    void longTextsStopBeforeTheNextColumn()
    {
        Plan plan;
        addItem(plan, Kind::Expense, "Home", "MORTGAGE WITH THE WOOLWICH AND MEMBERS HOMEOWNERS", "Monthly", 950);
        const QDateTime start(QDate(2024, 1, 1), QTime(12, 0));
        plan.loans().appendRow({"House purchase", "Yorkshire Building Society Ltd", 150000.0, 950.0, "Monthly", start,
                                25, start.addYears(25), 4.5});
        // The widest reminder item the field holds: twenty W.
        addReminder(plan, Kind::Expense, "Home", QString(20, u'W'), 1, 3,
                    "CHECK THE WOOLWICH STATEMENT WITH THE MEMBERS HOME");
        plan.reminders().setFilter(RemindersReport::filterFor(Kind::Expense, 3));
        const ReportLayout planLayout = PlanReport(input(plan)).layout();
        const ReportLayout remindersLayout =
            RemindersReport(plan, RemindersReport::titleFor(Kind::Expense, 3)).layout();

        const struct
        {
            const ReportLayout &layout;
            const char *name;
            QString whole;
        } cut[] = {{planLayout, "QRSubDetail2.item", "MORTGAGE WITH THE WOOLWICH AND MEMBERS HOMEOWNERS"},
                   {planLayout, "QRSubDetail4.lender", "Yorkshire Building Society Ltd"},
                   {remindersLayout, "DetailBand1.item", QString(20, u'W')},
                   {remindersLayout, "DetailBand1.desc", "CHECK THE WOOLWICH STATEMENT WITH THE MEMBERS HOME"}};
        for (const auto &c : cut) {
            const ReportItem *item = c.layout.pages.first().item(c.name);
            QVERIFY2(item && item->text.endsWith(u'…') && c.whole.startsWith(item->text.chopped(1)),
                     qPrintable(item ? item->text : QString::fromLatin1(c.name)));
            QVERIFY(ReportBand::textWidth(item->text, item->font) <= item->rect.width());
        }

        for (const ReportLayout *layout : {&planLayout, &remindersLayout}) {
            const QString pdf = m_dir.filePath("long-texts.pdf");
            ReportPainter::writePdf(*layout, pdf);
            const QList<Word> words = pdfWords(pdf);
            int elided = 0;
            for (const Word &w : words) {
                if (!w.text.endsWith(u'…') && w.text != QLatin1String("March"))
                    continue;
                elided += w.text.endsWith(u'…');
                // Two spaces of 10 points at least; the title three times that.
                const qreal least = w.text == QLatin1String("March") ? 15 : 5;
                QVERIFY2(
                    roomAfter(words, w) >= least,
                    qPrintable(QStringLiteral("%1 is %2 pt from the next word").arg(w.text).arg(roomAfter(words, w))));
            }
            QCOMPARE(elided, 2);
        }
    }

    void filtersStayAsTheyWere_data()
    {
        QTest::addColumn<QString>("itemsFilter");
        QTest::addColumn<bool>("itemsOn");
        QTest::addColumn<bool>("othersOn");
        QTest::addColumn<int>("itemsRow");

        QTest::newRow("expense page") << kindFilter(Kind::Expense) << true << true << 1;
        QTest::newRow("category filter") << categoryFilter(Kind::Income, "Work") << true << false << 2;
        QTest::newRow("filter switched off") << categoryFilter(Kind::Expense, "Food") << false << true << 4;
        QTest::newRow("no filter") << QString() << false << false << 0;
    }

    void filtersStayAsTheyWere()
    {
        QFETCH(QString, itemsFilter);
        QFETCH(bool, itemsOn);
        QFETCH(bool, othersOn);
        QFETCH(int, itemsRow);

        Plan plan;
        fillPlan(plan);
        plan.items().setFilter(itemsFilter);
        plan.items().setFiltered(itemsOn);
        plan.items().goTo(itemsRow < plan.items().rowCount() ? itemsRow : 0);
        plan.savings().setFilter("freq = 'Weekly'");
        plan.loans().setFilter("payfreq = 'Yearly'");
        plan.categories().setFilter(kindFilter(Kind::Expense));
        for (Table *t : {&plan.savings(), &plan.loans(), &plan.categories()})
            t->setFiltered(othersOn);
        const int currentItem = plan.items().currentRow();
        QSignalSpy resets(&plan.items(), &Table::visibleRowsReset);

        const PlanReport report(input(plan));
        // The report prints every row whatever the plan's filters show.
        QCOMPARE(report.kbmitems().rowCount() + report.kbmitemsexp().rowCount(), 5);
        QCOMPARE(report.kbmsavings().rowCount(), 1);
        QCOMPARE(report.kbmloans().rowCount(), 1);

        QCOMPARE(plan.items().filter(), itemsFilter);
        QCOMPARE(plan.items().isFiltered(), itemsOn);
        QCOMPARE(plan.items().currentRow(), currentItem);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(plan.savings().filter(), QStringLiteral("freq = 'Weekly'"));
        QCOMPARE(plan.loans().filter(), QStringLiteral("payfreq = 'Yearly'"));
        QCOMPARE(plan.categories().filter(), kindFilter(Kind::Expense));
        for (Table *t : {&plan.savings(), &plan.loans(), &plan.categories()})
            QCOMPARE(t->isFiltered(), othersOn);
    }

    void titleFromPlanFile_data()
    {
        QTest::addColumn<QString>("planfile");
        QTest::addColumn<QString>("title");
        QTest::newRow("start-up plan") << "Untitled1"
                                       << "Untitled1";
        QTest::newRow("new plan") << "/home/kim/N.PKB"
                                  << "N";
        QTest::newRow("opened") << "/home/kim/budget.pkb"
                                << "budget";
        QTest::newRow("dotted name") << "/home/kim/home.2024.pkb"
                                     << "home.2024";
    }

    void titleFromPlanFile()
    {
        QFETCH(QString, planfile);
        QFETCH(QString, title);
        QCOMPARE(PlanReport::titleFor(planfile), title);
    }

    // --- reminders report -------------------------------------------------

    void remindersGroupedAndOrdered()
    {
        Plan plan;
        addReminder(plan, Kind::Expense, "Housing", "Rent", 1, 3, "Rent March");
        addReminder(plan, Kind::Expense, "Housing", "Power", 15, 1, "Power bill");
        addReminder(plan, Kind::Expense, "Housing", "Rent", 1, 1, "Rent January");
        addReminder(plan, Kind::Expense, "Food", "Bread", 20, 2, "Bakery");
        addReminder(plan, Kind::Expense, "Housing", "Water", 10, 3, "Water bill");
        addReminder(plan, Kind::Income, "Work", "Salary", 28, 3, "Payslip");
        Table &reminders = plan.reminders();
        reminders.setLinkActive(false);
        reminders.setFilter(RemindersReport::filterFor(Kind::Expense));
        reminders.setFiltered(true);
        reminders.goTo(3); // whichever row the page's grid shows

        const RemindersReport report(plan, RemindersReport::titleFor(Kind::Expense));
        QCOMPARE(report.kbm_remind().rowCount(), 5);
        QCOMPARE(reminders.currentRow(), 3);
        QCOMPARE(reminders.filter(), QStringLiteral("cat_id = 'E'"));
        const ReportLayout layout = report.layout();
        QCOMPARE(layout.pages.size(), 1);
        const QStringList names{"GroupHeaderBand1.cat", "DetailBand1.item", "DetailBand1.month", "DetailBand1.dom"};
        QCOMPARE(
            sequence(layout.pages.first(), names),
            QStringList({"GroupHeaderBand1.cat=Food", "DetailBand1.item=Bread", "DetailBand1.dom=20",
                         "DetailBand1.month=2", "GroupHeaderBand1.cat=Housing", "DetailBand1.item=Rent",
                         "DetailBand1.dom=1", "DetailBand1.month=1", "DetailBand1.item=Power", "DetailBand1.dom=15",
                         "DetailBand1.month=1", "DetailBand1.item=Rent", "DetailBand1.dom=1", "DetailBand1.month=3",
                         "DetailBand1.item=Water", "DetailBand1.dom=10", "DetailBand1.month=3"}));

        const QString pdf = m_dir.filePath("reminders.pdf");
        ReportPainter::writePdf(layout, pdf);
        const QStringList lines = pdfPages(::pdfText(pdf)).value(0);
        QCOMPARE(lines.filter("Category :"), QStringList({"Category : Food", "Category : Housing"}));
        QVERIFY2(lines.contains("Power Power bill 15 / 1"), qPrintable(lines.join('|')));
        QCOMPARE(lines.first(), QStringLiteral("Expense Reminders Page No : 1"));
    }

    void remindersPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRectF>("rect"); // a null width: only the position is checked
        QTest::newRow("page caption") << "PageHeaderBand1.pagecaption" << QRectF(560, 8, 0, 0);
        QTest::newRow("page number") << "PageHeaderBand1.page" << QRectF(624, 8, 0, 0);
        QTest::newRow("category caption") << "GroupHeaderBand1.caption" << QRectF(8, 40, 0, 0);
        QTest::newRow("category") << "GroupHeaderBand1.cat" << QRectF(72, 40, 0, 0);
        QTest::newRow("description caption") << "GroupHeaderBand1.desccaption" << QRectF(216, 64, 0, 0);
        QTest::newRow("day caption") << "GroupHeaderBand1.daycaption" << QRectF(624, 64, 0, 0);
        QTest::newRow("month caption") << "GroupHeaderBand1.monthcaption" << QRectF(664, 64, 0, 0);
        QTest::newRow("caption slash") << "GroupHeaderBand1.slash" << QRectF(648, 72, 17, 0);
        QTest::newRow("item") << "DetailBand1.item" << QRectF(8, 89, 0, 0);
        QTest::newRow("description") << "DetailBand1.desc" << QRectF(216, 89, 0, 0);
        QTest::newRow("day") << "DetailBand1.dom" << QRectF(623, 89, 26, 0);
        QTest::newRow("slash") << "DetailBand1.slash" << QRectF(648, 89, 17, 0);
        QTest::newRow("month") << "DetailBand1.month" << QRectF(664, 89, 0, 0);
    }

    void remindersPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRectF, rect);
        Plan plan;
        addReminder(plan, Kind::Income, "Work", "Salary", 28, 3, "Payslip");
        const ReportLayout layout = RemindersReport(plan, "Income Reminders").layout();
        const ReportItem *item = layout.pages.first().item(name);
        QVERIFY2(item, qPrintable(name));
        QCOMPARE(item->rect.topLeft(), rect.topLeft());
        if (rect.width() > 0)
            QCOMPARE(item->rect.width(), rect.width());
        QCOMPARE(item->font.pointSize(), 10);
        QCOMPARE(item->font.bold(), false);
    }

    void remindersTitle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("all income") << "I" << 0 << "Income Reminders"
                                    << "cat_id = 'I'";
        QTest::newRow("expense in March") << "E" << 3 << "Expense Reminders For : March"
                                          << "cat_id = 'E' and month = '3'";
        QTest::newRow("longest") << "E" << 9 << "Expense Reminders For : September"
                                 << "cat_id = 'E' and month = '9'";
    }

    void remindersTitle()
    {
        QFETCH(QString, kind);
        QFETCH(int, month);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QCOMPARE(RemindersReport::titleFor(kind, month), title);
        QCOMPARE(RemindersReport::filterFor(kind, month), filter);

        Plan plan;
        const ReportLayout layout = RemindersReport(plan, title).layout();
        const ReportItem *item = layout.pages.first().item("qrlreport");
        QCOMPARE(item->text, title);
        QCOMPARE(item->rect.top(), 8.0);
        QVERIFY(item->rect.left() <= 320);
        QVERIFY2(item->rect.right() < 560, "the title runs into \"Page No :\"");
        QCOMPARE(item->font.pointSize(), 12);
        QVERIFY(item->font.bold() && item->font.italic() && item->font.underline());
    }

    void noRemindersPrintOnePageWithTitleAndNumber()
    {
        Plan plan;
        const ReportLayout layout = RemindersReport(plan, "Income Reminders").layout();
        QCOMPARE(layout.pages.size(), 1);
        QStringList texts;
        for (const ReportItem &item : layout.pages.first().items)
            texts << item.text;
        QCOMPARE(texts, QStringList({"Income Reminders", "Page No :", "1"}));
    }
};

QTEST_MAIN(TestPlanReports)
#include "tst_planreports.moc"
