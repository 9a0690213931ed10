#include "plan/Plan.h"
#include "widgets/CurrencyBox.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/ReportOutput.h"
#include "plan/MoneyFormat.h"
#include "widgets/RadioGroup.h"
#include "widgets/TableModel.h"

#include <QAbstractItemModelTester>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QApplication>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QPrintPreviewWidget>
#include <QDialog>

#include "widgets/ModalRunner.h"

// Counts the times a widget of one object name is shown.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(const char *name, int &count) : m_name(QString::fromLatin1(name)), m_count(count) { }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == m_name)
            ++m_count;
        return false;
    }

private:
    QString m_name;
    int &m_count;
};

// The building blocks the windows share.
class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void currencyFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("grouped") << 1234.5 << "$1,234.50";
        QTest::newRow("negative") << -1234.5 << "-$1,234.50";
        QTest::newRow("millions") << 1234567.891 << "$1,234,567.89";
        QTest::newRow("small") << 0.5 << "$0.50";
        QTest::newRow("negative item total") << -12.5 << "-$12.50";
    }

    void currencyFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(Format::currency(value), text);
        CurrencyBox box("ce_total");
        box.setReadOnly(true);
        box.setValue(value);
        QCOMPARE(box.text(), text);
    }

    void currencyInTheLocalesOwnOrder_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("German") << german << 45.5 << QString::fromUtf8("45,50\u00A0€");
        QTest::newRow("German, grouped, negative") << german << -1234.567 << QString::fromUtf8("-1.234,57\u00A0€");
        QTest::newRow("Dutch, symbol first")
            << QLocale(QLocale::Dutch, QLocale::Netherlands) << 45.5 << QString::fromUtf8("€\u00A045,50");
        QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom) << 0.005
                                 << QString::fromUtf8("£0.01"); // halves away from zero
        QTest::newRow("no currency of its own") << QLocale::c() << -1234.5 << "-$1,234.50";
    }

    // Grid amounts follow the system currency format; the totals keep the
    // symbol-then-"0.00" form.
    void currencyInTheLocalesOwnOrder()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QLocale::setDefault(locale);
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); });
        QTEST(Format::currency(value), "text");
        Plan plan;
        TableModel model(&plan.items(), {{"amount", {}, {}}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        plan.items().appendRow({"Bread", "Weekly", value, "Food", "E"});
        QTEST(model.index(0, 0).data().toString(), "text");
        if (locale.language() == QLocale::German)
            QCOMPARE(MoneyFormat::moneyText(45.5, Format::currencySymbol()), QString::fromUtf8("€45,50"));
    }

    // A real box, answered with Enter: a question before a delete says No.
    void enterChoosesTheSafeAnswer_data()
    {
        QTest::addColumn<int>("kind"); // 0 delete question, 1 unsaved changes, 2 error
        QTest::addColumn<int>("answer");
        QTest::newRow("delete question") << 0 << int(MessageBox::Answer::No);
        QTest::newRow("unsaved changes") << 1 << int(MessageBox::Answer::Yes);
        QTest::newRow("error") << 2 << int(MessageBox::Answer::Ok);
    }

    void enterChoosesTheSafeAnswer()
    {
        QFETCH(int, kind);
        const bool wasTestMode = MessageBox::testMode();
        MessageBox::setTestMode(false);
        const auto restore = qScopeGuard([wasTestMode] { MessageBox::setTestMode(wasTestMode); });
        QWidget owner;
        owner.show();
        QString seen;
        QTimer::singleShot(50, &owner, [&seen] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            seen = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        });
        MessageBox::Answer answer = MessageBox::Answer::Ok;
        if (kind == 0)
            answer = MessageBox::warningYesNo(&owner, "Delete it?");
        else if (kind == 1)
            answer = MessageBox::warningYesNoCancel(&owner, "Save it?");
        else
            MessageBox::error(&owner, "It went wrong");
        QVERIFY(!seen.isEmpty());
        QTEST(int(answer), "answer");
    }

    // Printing shows "Printing progress" with a "Cancel" button that stops
    // the job between pages.
    void printingCanBeCancelled()
    {
        ReportLayout layout;
        layout.pageLayout = ReportLayout::letterPortrait();
        for (int i = 0; i < 5; ++i) {
            ReportPage page;
            ReportItem text;
            text.rect = QRectF(0, 0, 200, 20);
            text.text = QString("page %1").arg(i + 1);
            page.items << text;
            layout.pages << page;
        }
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("out.pdf"));
        QString label;
        QWidget owner;
        owner.show();
        QTimer::singleShot(0, &owner, [&label] {
            auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (!progress)
                for (QWidget *w : QApplication::topLevelWidgets())
                    if (w->objectName() == "PrintingProgress")
                        progress = qobject_cast<QProgressDialog *>(w);
            if (!progress)
                return;
            label = progress->labelText();
            progress->cancel();
        });
        QVERIFY(!ReportOutput::print(&owner, &printer, layout));
        QCOMPARE(label, QString("Printing progress"));
        QVERIFY(ReportOutput::print(&owner, &printer, layout));
    }

    // Printing that cannot start says so in one box with no progress window
    // over it; a report prints on its own page and leaves the printer as the
    // person set it up; the preview keeps the report's page whatever its
    // printer is set to, so it never shows or prints a report cut.
    void printingThatCannotStartAndThePrintersSetUp()
    {
        ReportLayout layout;
        layout.pageLayout = ReportLayout::letterPortrait();
        layout.pages << ReportPage();
        QWidget owner;
        owner.show();
        int progressShown = 0;
        ShowWatcher watcher("PrintingProgress", progressShown);
        qApp->installEventFilter(&watcher);
        const auto stopWatching = qScopeGuard([&watcher] { qApp->removeEventFilter(&watcher); });
        MessageBox::setTestMode(true);
        const auto testModeOff = qScopeGuard([] {
            MessageBox::resetTestState();
            MessageBox::setTestMode(false);
        });

        QPrinter none(QPrinter::HighResolution); // what a machine without printers gives
        none.setOutputFormat(QPrinter::PdfFormat);
        none.setOutputFileName(QString());
        none.setPageOrientation(QPageLayout::Landscape);
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QVERIFY(!ReportOutput::print(&owner, &none, layout));
        auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().text.startsWith("The report cannot be printed: no printer is set up."),
                 qPrintable(shown.front().text));
        QCOMPARE(progressShown, 0);
        QCOMPARE(none.pageLayout().orientation(), QPageLayout::Landscape);

        QTemporaryDir dir;
        QPrinter failing(QPrinter::HighResolution);
        failing.setOutputFormat(QPrinter::PdfFormat);
        failing.setOutputFileName(dir.filePath("no/such/folder/out.pdf"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QVERIFY(!ReportOutput::print(&owner, &failing, layout));
        shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().text, QString("The report cannot be printed: the printer cannot be used"));
        QCOMPARE(progressShown, 0);

        QPrinter landscape(QPrinter::HighResolution);
        landscape.setOutputFormat(QPrinter::PdfFormat);
        landscape.setOutputFileName(dir.filePath("out.pdf"));
        landscape.setPageOrientation(QPageLayout::Landscape);
        QVERIFY(ReportOutput::print(&owner, &landscape, layout));
        QCOMPARE(progressShown, 1);
        QCOMPARE(landscape.pageLayout().orientation(), QPageLayout::Landscape);

        // In the preview the orientation buttons are gone, and a printer
        // turned to landscape behind its back still gets the report's page.
        QStringList visibleActions;
        QPageLayout::Orientation painted = QPageLayout::Landscape;
        ModalRunner::setHook([&](QDialog *dialog) {
            for (QAction *a : dialog->findChildren<QAction *>())
                if (a->isVisible())
                    visibleActions << a->text();
            auto *view = dialog->findChild<QPrintPreviewWidget *>();
            landscape.setPageOrientation(QPageLayout::Landscape);
            view->updatePreview();
            painted = landscape.pageLayout().orientation();
            dialog->reject();
        });
        const auto noHook = qScopeGuard([] { ModalRunner::setHook({}); });
        ReportOutput::preview(&owner, &landscape, layout);
        QVERIFY(!visibleActions.contains("Landscape"));
        QVERIFY(!visibleActions.contains("Page setup"));
        QVERIFY(visibleActions.contains("Save As PDF"));
        QCOMPARE(painted, QPageLayout::Portrait);
        QCOMPARE(landscape.pageLayout().orientation(), QPageLayout::Landscape);
    }

    void currencyBoxIsEmptyAtZeroAndTakesTwoDecimals()
    {
        CurrencyBox box("ceamt");
        box.setValue(0);
        QCOMPARE(box.text(), QString());
        QSignalSpy changed(&box, &CurrencyBox::valueChanged);
        box.show();
        box.setFocus();
        QTRY_VERIFY(box.hasFocus());
        QTest::keyClicks(&box, "12.345");
        QCOMPARE(box.text(), QString("12.34")); // a third decimal is not taken
        box.clearFocus();
        QCOMPARE(box.value(), 12.34);
        QCOMPARE(box.text(), QString("$12.34"));
        QCOMPARE(changed.count(), 1);

        // Escape while typing gives back the value held.
        box.setFocus();
        QTRY_VERIFY(box.hasFocus());
        box.selectAll();
        QTest::keyClicks(&box, "5");
        QCOMPARE(box.text(), QString("5"));
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.text(), QString("12.34"));
        box.clearFocus();
        QCOMPARE(box.value(), 12.34);
        QCOMPARE(changed.count(), 1);
    }

    void dates()
    {
        Format::setShortDateFormat("dd/MM/yyyy");
        QCOMPARE(Format::date(QDate(2024, 12, 25)), QString("25/12/2024"));
        QCOMPARE(Format::parseDate("25/12/2024"), QDate(2024, 12, 25));
        QVERIFY(!Format::parseDate("12/25/2024").isValid());
    }

    void radioGroup()
    {
        RadioGroup group("rg_items", "Items :", {"Income", "Expense"}, 2);
        group.setItemIndex(0);
        QSignalSpy clicked(&group, &RadioGroup::clicked);
        group.setItemIndex(1); // quiet: no click
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(group.currentText(), QString("Expense"));
        group.show();
        QTest::mouseClick(group.button(0), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 0);
        QCOMPARE(group.itemIndex(), 0);
        group.setItemIndex(-1);
        QCOMPARE(group.itemIndex(), -1);
    }

    void modelFollowsTableAndCursor()
    {
        Plan plan;
        Table &items = plan.items();
        TableModel model(&items, {{"cat", {}, {}}, {"item", {}, {}}, {"amount", {}, {}}});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTableView view;
        model.bindView(&view);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("Category"));

        items.appendRow({"Bread", "Weekly", 4.5, "Food", "E"});
        items.appendRow({"Tyres", "Yearly", 1200, "Car", "E"});
        items.appendRow({"Wage", "Monthly", 3000, "Work", "I"});
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0, 1).data().toString(), QString("Tyres"));
        QCOMPARE(model.index(0, 2).data().toString(), QString("$1,200.00"));

        // The grid's current row moves the table's cursor...
        view.setCurrentIndex(model.index(1, 0));
        QCOMPARE(items.currentRow(), 1);
        QCOMPARE(items.asString("item"), QString("Bread"));
        // ...and the table's cursor moves the grid.
        items.goTo(2);
        QCOMPARE(view.currentIndex().row(), 2);

        // Edits in place and filters reach the view.
        items.edit();
        items.setValue("amount", 3100);
        items.post();
        QCOMPARE(model.index(2, 2).data().toString(), QString("$3,100.00"));
        items.setFilter("catid = 'E'");
        items.setFiltered(true);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(view.currentIndex().row(), items.currentRow());
        items.setFilter("catid = 'X'");
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!view.currentIndex().isValid());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
