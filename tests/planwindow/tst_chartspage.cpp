#include "GuiTestSupport.h"
#include "PdfText.h"
#include "SamplePlans.h"

#include "plan/ChartBars.h"
#include "plan/Plan.h"
#include "planwindow/ChartsPage.h"
#include "planwindow/PlanHost.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QBarSet>
#include <QDialog>
#include <QChart>
#include <QChartView>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QGradient>
#include <QLocale>
#include <QScopeGuard>
#include <array>
#include <cmath>

// The charts page: the bars of each choice, when the chart is rebuilt, the
// filters it leaves alone, and the printed chart.
class TestChartsPage : public QObject
{
    Q_OBJECT

    struct Host : PlanHost
    {
        QString programFolder() const override { return QDir::tempPath(); }
        bool isClosingAll() const override { return false; }
        void setCloseApproval(bool) override { }
        int documentWindowCount() const override { return 1; }
        bool hintsEnabled() const override { return false; }
        QPrinter *printer() const override { return m_printer.get(); }
        void printerSetup() override { ++setups; }
        void openHelp(const QString &) override { }
        std::unique_ptr<QPrinter> m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        int setups = 0;
    };

    Host m_host;
    std::unique_ptr<Tfrm_budget> m_window;

    ChartsPage *page() { return m_window->chartsPage(); }
    void showCharts() { m_window->pages()->setCurrentWidget(page()); }
    void choose(int choice)
    {
        QRadioButton *b = m_window->findChild<RadioGroup *>("rg_graph")->button(choice);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    // The legend texts of the bars, in order.
    QStringList legend()
    {
        QStringList out;
        for (QBarSet *set : page()->series()->barSets())
            out << set->label();
        return out;
    }

    // CIE76 colour difference: about 2 can just be told apart, 10 is plain.
    static double deltaE(const QColor &a, const QColor &b)
    {
        const auto lab = [](const QColor &c) {
            const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            const double r = linear(c.redF()), g = linear(c.greenF()), bl = linear(c.blueF());
            const double xyz[3] = {(0.4124 * r + 0.3576 * g + 0.1805 * bl) / 0.95047,
                                   0.2126 * r + 0.7152 * g + 0.0722 * bl,
                                   (0.0193 * r + 0.1192 * g + 0.9505 * bl) / 1.08883};
            double f[3];
            for (int i = 0; i < 3; ++i)
                f[i] = xyz[i] > 0.008856 ? std::cbrt(xyz[i]) : 7.787 * xyz[i] + 16.0 / 116;
            return std::array<double, 3>{116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])};
        };
        const auto x = lab(a);
        const auto y = lab(b);
        return std::hypot(x[0] - y[0], x[1] - y[1], x[2] - y[2]);
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_host.setups = 0;
        m_window = openPlanWindow({.categories = {{"Work", "I"}, {"Gifts", "I"}, {"Car", "E"}, {"Home", "E"}},
                                   .items = {{"Wage", "Weekly", 100, "Work", "I"},
                                             {"Bonus", "Yearly", 1000, "Work", "I"},
                                             {"Tyres", "Yearly", 400, "Car", "E"},
                                             {"Rent", "Weekly", 1234.5678, "Home", "E"}},
                                   .savings = {{"Boat", 5000, QDateTime(QDate(2026, 1, 1), {}),
                                                QDateTime(QDate(2028, 1, 1), {}), "Monthly", 200}}},
                                  &m_host);
    }

    void cleanup()
    {
        m_window.reset();
        GUITEST_CLEANUP();
    }

    void barsOfEachChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("legend");
        // Stored amounts added as they are, each in its own frequency.
        QTest::newRow("income categories") << 0 << QStringList{"0 Gifts", "1,100 Work"};
        QTest::newRow("expense categories") << 1 << QStringList{"400 Car", "1,234.568 Home"};
        QTest::newRow("savings") << 2 << QStringList{"5,000 Boat"};
        QTest::newRow("no loans: an empty chart") << 3 << QStringList{};
    }

    void barsOfEachChoice()
    {
        QFETCH(int, choice);
        QFETCH(QStringList, legend);
        showCharts();
        choose(choice);
        QCOMPARE(this->legend(), legend);
        QCOMPARE(page()->chart()->title(), QString("Pursekeep Summary Chart By Category"));
        QStringList marks;
        for (int i = 0; i < legend.size(); ++i)
            marks << QString::number(i);
        QCOMPARE(page()->markTexts(), marks);
        // Each bar has its own colour.
        QSet<QRgb> colours;
        for (QBarSet *set : page()->series()->barSets())
            colours.insert(set->borderColor().rgb());
        QCOMPARE(colours.size(), legend.size());
    }

    // 24 expense categories in a German locale: every bar keeps a legend
    // entry of its own beside the plot, the bars' colours are told apart and
    // stand out on the plot's white, and the value axes write their numbers
    // as the legend does.
    void manyBarsKeepTheirLegendColoursAndNumbers()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); });
        Plan &p = m_window->plan();
        for (int i = 0; i < 22; ++i) {
            const QString cat = QStringLiteral("Household cost %1").arg(i + 1);
            p.categories().appendRow({cat, "E"});
            p.items().appendRow({"Item", "Monthly", 100.5 * (i + 1) + 0.18, cat, "E"});
        }
        p.items().appendRow({"Mortgage", "Monthly", 8000, "Home", "E"});
        m_window->resize(1000, 700);
        showCharts();
        choose(1);
        QChart *chart = page()->chart();
        const QList<QBarSet *> sets = page()->series()->barSets();
        QCOMPARE(sets.size(), 24);
        QTRY_VERIFY(chart->plotArea().width() > 200);
        QCoreApplication::processEvents();

        const QRectF plot = chart->mapRectToScene(chart->plotArea());
        const QRectF shown = page()->chartView()->mapToScene(page()->chartView()->viewport()->rect()).boundingRect();
        const auto &labels = page()->legendLabels();
        QCOMPARE(labels.size(), sets.size());
        for (qsizetype i = 0; i < labels.size(); ++i) {
            const QRectF box = labels.at(i)->sceneBoundingRect();
            QCOMPARE(labels.at(i)->text(), sets.at(i)->label());
            QVERIFY2(labels.at(i)->isVisible() && shown.contains(box) && !box.intersects(plot),
                     qPrintable(labels.at(i)->text()));
            QVERIFY(labels.at(i)->font().pointSizeF() >= 7);
            for (qsizetype j = 0; j < i; ++j)
                QVERIFY2(!box.intersects(labels.at(j)->sceneBoundingRect()), qPrintable(labels.at(i)->text()));
        }
        // The legend's own numbers, in German.
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](auto *l) { return l->text() == "9.234,568 Home"; }));

        // Each bar shaded from a lighter edge to its own colour.
        const QColor background = chart->plotAreaBackgroundBrush().color();
        QList<QColor> colours;
        for (QBarSet *set : sets) {
            const QGradient *fill = set->brush().gradient();
            QVERIFY(fill && fill->stops().size() == 2);
            for (const QGradientStop &stop : fill->stops())
                QVERIFY2(ChartsPage::contrast(stop.second, background) >= 3, qPrintable(stop.second.name()));
            const QColor colour = fill->stops().last().second;
            for (const QColor &other : colours)
                QVERIFY2(deltaE(colour, other) >= 10, qPrintable(colour.name() + " " + other.name()));
            colours << colour;
        }

        // The value axes' labels, left and right of the plot.
        QStringList numbers;
        for (QGraphicsItem *item : page()->chartView()->scene()->items()) {
            auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            const QPointF centre = item->sceneBoundingRect().center();
            if (text && text->isVisible() && !text->toPlainText().isEmpty()
                && (centre.x() < plot.left() || centre.x() > plot.right()) && centre.y() >= plot.top() - 10
                && centre.y() <= plot.bottom() + 10)
                numbers << text->toPlainText();
        }
        QVERIFY2(numbers.size() >= 6, qPrintable(numbers.join(" | ")));
        const QLocale locale;
        for (const QString &number : numbers) {
            bool ok = false;
            const double value = locale.toDouble(number, &ok);
            const qsizetype point = number.indexOf(locale.decimalPoint());
            const int decimals = point < 0 ? 0 : int(number.size() - point - 1);
            QVERIFY2(ok && locale.toString(value, 'f', decimals) == number, qPrintable(number));
        }
        QVERIFY2(numbers.join(" ").contains(locale.groupSeparator()), qPrintable(numbers.join(" | ")));
    }

    // The summary is the stored totals at the display frequency; a negative
    // balance is a bar below zero; the chart is drawn again only when the
    // page is shown or a choice is made.
    void summaryFollowsTheTotalsWhenShown()
    {
        showCharts();
        QCOMPARE(m_window->findChild<RadioGroup *>("rg_graph")->itemIndex(), 4);
        const QStringList fortnightly = legend();
        QCOMPARE(fortnightly.size(), 5);
        // 100 a week and 1000 a year: about 17.0236 a day, 238.33 a fortnight.
        QCOMPARE(fortnightly.at(0), QString("238.33 Income"));

        m_window->setDisplayFrequency(3); // Monthly, while the page stays shown
        QCOMPARE(legend(), fortnightly);
        m_window->pages()->setCurrentIndex(0);
        showCharts();
        // 400 a year and 1234.5678 a week: about 177.4620 a day, 5401.50 a month.
        QCOMPARE(legend().at(1), QString("5,401.5 Expense"));
        QVERIFY(legend() != fortnightly);

        QVERIFY(m_window->totals().balance < 0);
        const auto &bars = page()->bars();
        QCOMPARE(bars.at(4).label, QString("Balance"));
        const QPointF zero = page()->chart()->mapToPosition(QPointF(4, 0), page()->series());
        const QPointF end = page()->chart()->mapToPosition(QPointF(4, bars.at(4).value), page()->series());
        QVERIFY(end.y() > zero.y()); // drawn downwards
    }

    void viewingLeavesTheFiltersAlone()
    {
        Plan &p = m_window->plan();
        p.items().setFilter("catid = 'E' and cat = 'Car'");
        p.categories().setFilter("catid = 'E'");
        p.categories().setFiltered(false);
        const QStringList before = {p.items().filter(), QString::number(p.items().isFiltered()),
                                    p.categories().filter(), QString::number(p.categories().isFiltered())};
        showCharts();
        for (int choice : {0, 1, 2, 3, 4})
            choose(choice);
        m_window->pages()->setCurrentIndex(0);
        QCOMPARE(QStringList({p.items().filter(), QString::number(p.items().isFiltered()), p.categories().filter(),
                              QString::number(p.categories().isFiltered())}),
                 before);
        QCOMPARE(p.items().rowCount(), 1);
    }

    // The reminders page prints and previews the reminders it shows, under
    // the title it builds.
    void remindersPagePrintsWhatItShows()
    {
        Plan &p = m_window->plan();
        p.reminders().appendRow({"I", "Work", "Wage", 15, "check the payslip", 3});
        p.reminders().appendRow({"I", "Work", "Bonus", 1, "ask for it", 1});
        p.reminders().appendRow({"E", "Car", "Tyres", 9, "rotate the tyres", 3});
        m_window->pages()->setCurrentIndex(3);
        auto *print = m_window->findChild<QAbstractButton *>("lmdsbtn_r_print");
        auto *preview = m_window->findChild<QAbstractButton *>("lmdsbtn_r_preview");
        QVERIFY(print->isEnabled() && preview->isEnabled());

        QString title;
        ModalRunner::setHook([&](QDialog *d) {
            title = d->windowTitle();
            d->reject();
        });
        preview->click();
        ModalRunner::setHook({});
        QCOMPARE(title, QString("Print Preview"));

        QTemporaryDir dir;
        m_host.printer()->setOutputFormat(QPrinter::PdfFormat);
        m_host.printer()->setOutputFileName(dir.filePath("reminders.pdf"));
        print->click();
        const QList<QStringList> pages = pdfPages(pdfText(dir.filePath("reminders.pdf")));
        QCOMPARE(pages.size(), 1);
        const QString text = pages.front().join('\n');
        QVERIFY2(text.contains("Income Reminders") && text.contains("Category : Work"), qPrintable(text));
        QVERIFY2(text.indexOf("ask for it") < text.indexOf("check the payslip"), qPrintable(text)); // month order
        QVERIFY2(!text.contains("rotate the tyres"), qPrintable(text));
    }

    // Printed through the context menu: one page, the chart filling the page
    // less 15 % on each side, the job named "chart".
    void printedChartFillsTheInsetRectangle_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::newRow("portrait") << int(QPageLayout::Portrait);
        QTest::newRow("landscape") << int(QPageLayout::Landscape);
    }

    void printedChartFillsTheInsetRectangle()
    {
        QFETCH(int, orientation);
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed");
        QMenu *menu = page()->popupMenu();
        QCOMPARE(menu->objectName(), QString("BcBarPopupCharts"));
        QStringList entries;
        for (QAction *a : menu->actions())
            entries << (a->isSeparator() ? "[" + a->text() + "]" : a->text());
        QCOMPARE(entries, QStringList({"[Charts]", "&Print", "Printer Se&tup"}));
        menu->findChild<QAction *>("PrinterSetup1")->trigger();
        QCOMPARE(m_host.setups, 1);

        QTemporaryDir dir;
        QPrinter *printer = m_host.printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(dir.filePath("chart.pdf"));
        printer->setPageOrientation(QPageLayout::Orientation(orientation));
        showCharts();
        menu->findChild<QAction *>("PrintColor1")->trigger();
        QCOMPARE(printer->docName(), QString("chart"));

        QProcess render;
        render.start("pdftoppm", {"-png", "-r", "40", "-singlefile", dir.filePath("chart.pdf"), dir.filePath("page")});
        QVERIFY(render.waitForFinished(30000));
        QImage image(dir.filePath("page.png"));
        QVERIFY(!image.isNull());
        // The inked area: everything that is not white.
        QRect inked;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() < 250)
                    inked |= QRect(x, y, 1, 1);
        // Nothing outside the page less 15 % on each side, and the chart
        // stretched over nearly all of it (its own rounded corners aside).
        const QRectF expected(image.width() * 0.15, image.height() * 0.15, image.width() * 0.7, image.height() * 0.7);
        const QString where = QString("inked %1,%2 %3x%4 of %5x%6")
                                  .arg(inked.x())
                                  .arg(inked.y())
                                  .arg(inked.width())
                                  .arg(inked.height())
                                  .arg(image.width())
                                  .arg(image.height());
        QVERIFY2(expected.adjusted(-2, -2, 2, 2).contains(QRectF(inked)), qPrintable(where));
        QVERIFY2(inked.width() >= expected.width() * 0.9 && inked.height() >= expected.height() * 0.9,
                 qPrintable(where));
    }
};

QTEST_MAIN(TestChartsPage)
#include "tst_chartspage.moc"
