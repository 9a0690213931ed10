#include "DiskFailure.h"
#include "PdfText.h"

#include "plan/PlanFileError.h"
#include "reports/BandedReport.h"
#include "reports/ReportPainter.h"

#include <QDir>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

// The report engine: how bands fall onto pages, and the pages on a PDF.
class TestBandedReport : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static ReportBand band(const QString &name, qreal height)
    {
        ReportBand b(name, height);
        b.label(name, 8, 0, name, QFont(QStringLiteral("Arial"), 10));
        return b;
    }

    // A report of a 40-high header, a 60-high footer (so 860 units for the
    // bands between) and the bands described as "name:height[:new][:keep]".
    static ReportLayout layoutOf(const QStringList &bands)
    {
        BandedReport report(QStringLiteral("test"));
        ReportBand header = band("header", 40);
        header.pageField("number", QRectF(600, 0, 40, 16), ReportBand::Field::PageNumber, QFont("Arial", 10));
        header.pageField("count", QRectF(660, 0, 40, 16), ReportBand::Field::PageCount, QFont("Arial", 10));
        report.setPageHeader(header);
        report.setPageFooter(band("footer", 60));
        for (const QString &text : bands) {
            const QStringList parts = text.split(u':');
            ReportBand b = band(parts.at(0), parts.at(1).toDouble());
            b.setNewPageBefore(parts.contains("new"));
            b.setKeepWithNext(parts.contains("keep"));
            report.addBand(b);
        }
        return report.layout();
    }

    // "page/name@top" of every band but the page header and footer.
    static QStringList placements(const ReportLayout &layout)
    {
        QStringList out;
        for (qsizetype p = 0; p < layout.pages.size(); ++p)
            for (const PlacedBand &b : layout.pages.at(p).bands)
                if (b.name != QLatin1String("header") && b.name != QLatin1String("footer"))
                    out << QStringLiteral("%1/%2@%3").arg(p + 1).arg(b.name).arg(b.rect.top());
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void bandsOntoPages_data()
    {
        QTest::addColumn<QStringList>("bands");
        QTest::addColumn<QStringList>("placed");

        QTest::newRow("empty report") << QStringList() << QStringList();
        QTest::newRow("fits exactly") << QStringList({"a:430", "b:430"}) << QStringList({"1/a@40", "1/b@470"});
        QTest::newRow("one unit too many") << QStringList({"a:430", "b:431"}) << QStringList({"1/a@40", "2/b@40"});
        QTest::newRow("new page before") << QStringList({"a:100", "b:100:new", "c:100"})
                                         << QStringList({"1/a@40", "2/b@40", "2/c@140"});
        QTest::newRow("new page on a fresh page")
            << QStringList({"a:100:new", "b:100"}) << QStringList({"1/a@40", "1/b@140"});
        QTest::newRow("heading kept with its row")
            << QStringList({"a:800", "h:40:keep", "r:40"}) << QStringList({"1/a@40", "2/h@40", "2/r@80"});
        QTest::newRow("heading and row fit")
            << QStringList({"a:780", "h:40:keep", "r:40"}) << QStringList({"1/a@40", "1/h@820", "1/r@860"});
        // A section heading, the group heading under it and the group's
        // first row: the two headings fit, the row does not.
        QTest::newRow("chain of headings kept with the first row")
            << QStringList({"a:790", "s:24:keep", "g:40:keep", "r:16"})
            << QStringList({"1/a@40", "2/s@40", "2/g@64", "2/r@104"});
        QTest::newRow("chain of headings and row fit") << QStringList({"a:780", "s:24:keep", "g:40:keep", "r:16"})
                                                       << QStringList({"1/a@40", "1/s@820", "1/g@844", "1/r@884"});
        QTest::newRow("band taller than a page")
            << QStringList({"a:10", "big:2000", "b:10"}) << QStringList({"1/a@40", "2/big@40", "3/b@40"});
    }

    void bandsOntoPages()
    {
        QFETCH(QStringList, bands);
        QFETCH(QStringList, placed);
        const ReportLayout layout = layoutOf(bands);
        QCOMPARE(placements(layout), placed);
        const int pages = placed.isEmpty() ? 1 : placed.last().section(u'/', 0, 0).toInt();
        QCOMPARE(layout.pages.size(), pages);
        for (qsizetype p = 0; p < layout.pages.size(); ++p) {
            const ReportPage &page = layout.pages.at(p);
            QCOMPARE(page.bands.first().name, QStringLiteral("header"));
            QCOMPARE(page.bands.last().name, QStringLiteral("footer"));
            QCOMPARE(page.bands.last().rect.top(), 900.0);
            QCOMPARE(page.item("number")->text, QString::number(p + 1));
            QCOMPARE(page.item("count")->text, QString::number(pages));
            QCOMPARE(page.item("footer")->rect.top(), 900.0); // items move with their band
        }
        QCOMPARE(layout.pageLayout.pageSize().id(), QPageSize::Letter);
        QCOMPARE(layout.pageLayout.orientation(), QPageLayout::Portrait);
        QCOMPARE(layout.pageLayout.margins(QPageLayout::Millimeter), QMarginsF(12.7, 12.7, 12.7, 12.7));
        QCOMPARE(layout.pageLayout.paintRect(QPageLayout::Inch), QRectF(0.5, 0.5, 7.5, 10));
    }

    void groupHeadersAndFooters()
    {
        const QStringList keys{"a", "a", "b", "c", "c"};
        BandedReport report(QStringLiteral("groups"));
        BandedReport::Group group;
        group.key = [&keys](int row) { return keys.at(row); };
        group.header = [&keys](int row) { return band("head " + keys.at(row), 20); };
        group.footer = [&keys](int row) { return band("foot " + keys.at(row), 20); };
        report.addDetails(
            int(keys.size()), [](int row) { return band(QString::number(row), 16); }, group);
        const ReportLayout layout = report.layout();
        QStringList names;
        for (const PlacedBand &b : layout.pages.first().bands)
            names << b.name;
        QCOMPARE(
            names,
            QStringList({"", "head a", "0", "1", "foot a", "head b", "2", "foot b", "head c", "3", "4", "foot c", ""}));
    }

    // Positions are in 1/96 inch inside the margins, whatever the device.
    void pdfPlacesTextInsideTheMargins()
    {
        BandedReport report(QStringLiteral("places"));
        ReportBand b("b", 100);
        b.label("tl", 0, 0, "TOPLEFT", QFont("Arial", 10));
        b.rightText("r", 600, 720, 48, "RIGHTEDGE", QFont("Arial", 10));
        b.fill("fill", QRectF(0, 70, 720, 10), Qt::gray);
        b.frame("frame", QRectF(0, 0, 720, 100));
        b.line("line", QLineF(0, 90, 720, 90));
        report.addBand(b);
        const QString pdf = m_dir.filePath("places.pdf");
        ReportPainter::writePdf(report.layout(), pdf);

        // pdftotext -bbox gives each word's box in points (72 per inch) from
        // the top-left corner of the page: the margin is 36 points.
        QProcess process;
        process.start("pdftotext", {"-bbox", pdf, "-"});
        QVERIFY(process.waitForFinished(30000));
        const QString html = QString::fromUtf8(process.readAllStandardOutput());
        QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(\w+)</word>)re");
        QHash<QString, QRectF> boxes;
        for (const QRegularExpressionMatch &m : word.globalMatch(html))
            boxes.insert(m.captured(5),
                         QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
        QVERIFY2(boxes.contains("TOPLEFT") && boxes.contains("RIGHTEDGE"), qPrintable(html));
        QVERIFY(qAbs(boxes["TOPLEFT"].left() - 36) < 1);
        QVERIFY(qAbs(boxes["TOPLEFT"].top() - 36) < 2);
        QVERIFY(qAbs(boxes["RIGHTEDGE"].right() - (612 - 36)) < 1.5);
        QVERIFY(qAbs(boxes["RIGHTEDGE"].top() - (36 + 36)) < 2);
        QVERIFY(boxes["TOPLEFT"].height() > 8 && boxes["TOPLEFT"].height() < 14); // 10 points, not scaled twice
    }

    void progressCanCancel_data()
    {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("calls");
        QTest::newRow("all pages") << 0 << true << 3;
        QTest::newRow("cancelled after the first") << 1 << false << 1;
    }

    void progressCanCancel()
    {
        QFETCH(int, stopAfter);
        QFETCH(bool, result);
        QFETCH(int, calls);
        const ReportLayout layout = layoutOf({"a:800", "b:800", "c:800"});
        QCOMPARE(layout.pages.size(), 3);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout.pageLayout);
        QList<int> seen;
        QList<int> counts;
        const bool done = ReportPainter::paint(layout, &writer, [&](int page, int count) {
            seen << page;
            counts << count;
            return page != stopAfter;
        });
        QCOMPARE(counts, QList<int>(calls, 3));
        QCOMPARE(done, result);
        QCOMPARE(seen.size(), calls);
    }

    void pdfThatCannotBeWrittenLeavesTheOldFile()
    {
        const QString folder = m_dir.filePath("full");
        QDir().mkpath(folder);
        const QString pdf = folder + "/report.pdf";
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("the old report");
        }
        QStringList names;
        for (int i = 0; i < 200; ++i)
            names << QStringLiteral("band%1:40").arg(i);
        const ReportLayout layout = layoutOf(names);
        QVERIFY(ReportPainter::pdfBytes(layout).size() > 4096);
        try {
            const FileSizeLimit limit(4096);
            ReportPainter::writePdf(layout, pdf);
            QFAIL("the PDF was written past the limit");
        } catch (const FileWriteError &e) {
            QVERIFY2(e.reason().contains("File too large"), qPrintable(e.reason()));
        }
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old report"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"report.pdf"}));

        ReportPainter::writePdf(layout, pdf);
        QCOMPARE(pdfPages(pdfText(pdf)).size(), layout.pages.size());
    }
};

QTEST_MAIN(TestBandedReport)
#include "tst_bandedreport.moc"
