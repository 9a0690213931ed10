#include "LinkedBrowser.h"
#include "MainWindowTest.h"
#include "PdfText.h"

#include "app/RxCalc.h"
#include "loanwindow/frm_loan_calc.h"
#include "plan/Plan.h"
#include "widgets/CurrencyBox.h"
#include "widgets/RadioGroup.h"
#include "widgets/StatusPanel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QUrlQuery>
#include <algorithm>

// Catches the mail link the program asks the desktop to open.
class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// The main window's frame: its menus and what they forward to the active
// plan, the windows of its document area side by side and cascaded, the
// tools it opens, printing, and the bug report.
class TestMainWindow : public MainWindowTest
{
    Q_OBJECT

    // True when a click at the middle of `control` lands on it in `top`:
    // it is inside what `top` shows and nothing lies over it.
    static bool clickable(QWidget *top, QWidget *control)
    {
        const QPoint middle = control->mapTo(top, control->rect().center());
        if (!top->rect().contains(middle))
            return false;
        QWidget *hit = top->childAt(middle);
        return hit == control || control->isAncestorOf(hit);
    }

private slots:
    void initTestCase()
    {
        GuiTest::initTestCase();
        LinkedBrowser::use();
    }
    void init() { startMainWindow(); }

    void cleanup()
    {
        closeMainWindow();
        GUITEST_CLEANUP();
    }

    // Every menu entry has a small picture, as the buttons do.
    void menuEntriesHavePictures()
    {
        for (QMenu *menu : m_main->menuBar()->findChildren<QMenu *>()) {
            if (menu->objectName() == "Windows1")
                emit menu->aboutToShow();
            for (QAction *a : menu->actions()) {
                if (a->isSeparator() || a->objectName().isEmpty())
                    continue; // sections, and the list of open windows
                if (a->isCheckable())
                    continue; // the check mark, only while on
                QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
                QVERIFY2(!a->icon().pixmap(16, 16).isNull(), qPrintable(a->objectName()));
            }
        }
    }

    // The menus and their entries in the order a person learns them: the
    // mnemonics, the keys and the captions of the sections between them.
    void menusKeepTheirOrder()
    {
        const auto entries = [this](const char *name) {
            QStringList out;
            for (QAction *a : m_main->menuBar()->findChild<QMenu *>(name)->actions()) {
                if (a->isSeparator())
                    out << "[" + a->text() + "]";
                else
                    out << (a->text() + " " + a->shortcut().toString()).trimmed();
            }
            return out;
        };
        QStringList menus;
        for (QAction *menu : m_main->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"&File", "&Edit", "&View", "&Options", "&Windows", "&Help"}));
        QCOMPARE(entries("mnuFile"),
                 QStringList({"[Load Plan]", "&New Ctrl+N", "&Open Ctrl+O", "&Recent Plans", "&Import From CSV…",
                              "[Save Plan]", "&Save Ctrl+S", "Save &As Ctrl+Shift+S", "&Export To CSV…",
                              "Restore From &Backup…", "[Close Plan]", "&Close Ctrl+W", "Close A&ll", "[Print Plan]",
                              "&Print Ctrl+P", "Print Pre&view", "Printer Se&tup", "[Program]", "E&XIT Ctrl+Q"}));
        QCOMPARE(entries("mnuEdit"),
                 QStringList({"&Undo Ctrl+Z", "&Redo Ctrl+Shift+Z", "[Item]", "&New", "&Edit", "&Delete", "&Clear All",
                              "Add Re&minder", "[Categories]", "Add/Edit Ca&tegories"}));
        QCOMPARE(entries("mnuView"),
                 QStringList({"[Pages]", "Budget &Items Ctrl+1", "&Savings Items Ctrl+2", "&Loans Ctrl+3",
                              "&Reminders Ctrl+4", "C&harts Ctrl+5", "[Frequency]", "Display &Frequency"}));
        QCOMPARE(entries("mnuFrequency"),
                 QStringList({"&Daily", "&Weekly", "&Fortnightly", "&Monthly", "&Quarterly", "&Yearly"}));
        QCOMPARE(entries("Options1"),
                 QStringList({"[Hints]", "&Show Hints On Startup", "&Enable OnScreen Hints", "[Tools]", "&Calculator",
                              "&Loan Calculator", "&Internet"}));
        QCOMPARE(entries("Windows1"),
                 QStringList({"[Tile]", "&Horizontal Ctrl+H", "&Vertical Ctrl+T", "&Cascade Ctrl+D", "[Windows]"}));
        QCOMPARE(entries("Help1"),
                 QStringList({"[Help]", "&Contents", "&About", "Open &Sample Plan", "[How To]", "&Report A Bug"}));
    }

    void frequencyChangesTotalsNeverTheGrid()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->plan().items().appendRow({"Wage", "Monthly", 1000, "Work", "I"});
        plan->plan().items().appendRow({"Food", "Weekly", 100, "Home", "E"});
        plan->plan().items().appendRow({"Paper", "Daily", 3, "Home", "E"});
        auto *grid = plan->findChild<QAbstractItemView *>("dbgincome");
        const QString amountBefore = grid->model()->index(0, 3).data().toString();
        QTest::mouseClick(plan->findChild<RadioGroup *>("RGFrequency")->button(3), Qt::LeftButton);
        QCOMPARE(plan->statusTexts(),
                 QStringList({"Income Total: $1000.00", "Expense Total: $526.13", "Savings Goals: $0.00",
                              "Total Loans: $0.00", "Balance: $473.87"}));
        QCOMPARE(plan->statusToolTip(), QString("Plan Balance Totals as : Monthly"));
        QCOMPARE(grid->model()->index(0, 3).data().toString(), amountBefore);
        QCOMPARE(amountBefore, QString("$1,000.00"));

        plan->setDisplayFrequency(1); // Weekly
        QCOMPARE(plan->statusTexts().at(4), QString("Balance: $108.98"));
        plan->plan().items().appendRow({"Rent", "Weekly", 121.48, "Home", "E"});
        plan->updateall();
        QCOMPARE(plan->statusTexts().at(4), QString("Balance: -$12.50"));
    }

    // Three plans side by side in a window 1280 wide: the toolbar buttons
    // keep their whole captions where a person clicks them, and the five
    // totals keep equal fifths.
    void tiledPlanWindowsStayReadable()
    {
        m_main->resize(1280, 800);
        newPlanNamed("Holiday");
        newPlanNamed("Trip");
        m_main->action("Vertical1")->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(m_main->planWindows().size(), 3);
        for (Tfrm_budget *plan : m_main->planWindows()) {
            QVERIFY(plan->width() < 450);
            QWidget *toolbar = plan->findChild<QWidget *>("toolbar");
            for (QToolButton *b : toolbar->findChildren<QToolButton *>()) {
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
                QVERIFY2(toolbar->rect().contains(b->geometry()), qPrintable(b->text()));
                QCOMPARE(toolbar->childAt(b->geometry().center()), b);
                const QFontMetrics metrics(b->font());
                QVERIFY2(metrics.horizontalAdvance(b->text()) <= b->width(), qPrintable(b->text()));
            }
            QList<int> widths;
            for (int i = 0; i < 5; ++i)
                widths << plan->findChild<QLabel *>(QString("sbar_panel%1").arg(i))->width();
            const auto [least, most] = std::minmax_element(widths.cbegin(), widths.cend());
            QVERIFY2(*most - *least <= 1, qPrintable(QString::number(*most - *least)));
            // A panel too narrow for its caption still shows the amount.
            auto *balance = plan->findChild<StatusPanel *>("sbar_panel4");
            QVERIFY(balance->shownText() == balance->text() || balance->shownText() == "$0.00");
            // The frequency buttons keep whole captions too.
            for (QRadioButton *b : plan->findChild<RadioGroup *>("RGFrequency")->findChildren<QRadioButton *>())
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
        }
    }

    // The loan calculator opens restored inside the document area of a
    // 1024 x 700 main window, every Calculate button where it can be clicked;
    // in a larger window it keeps its own size.
    void loanCalculatorFitsTheDocumentArea_data()
    {
        QTest::addColumn<QSize>("mainSize");
        QTest::newRow("1024 x 700") << QSize(1024, 700);
        QTest::newRow("1280 x 900") << QSize(1280, 900);
    }

    void loanCalculatorFitsTheDocumentArea()
    {
        QFETCH(QSize, mainSize);
        m_main->resize(mainSize);
        QCoreApplication::processEvents();
        m_main->barButton("LMDSB_loancalc")->click();
        QCoreApplication::processEvents();
        Tfrm_loan_calc *calculator = m_main->loanCalculator();
        QVERIFY(calculator);
        // It opens maximised over the maximised plan; restored, it fits.
        auto *sub = qobject_cast<QMdiSubWindow *>(calculator->parentWidget());
        sub->showNormal();
        QCoreApplication::processEvents();
        const QRect area = m_main->documentArea()->viewport()->rect();
        QVERIFY2(area.contains(sub->geometry()),
                 qPrintable(QString("%1,%2 %3x%4 in %5x%6")
                                .arg(sub->x())
                                .arg(sub->y())
                                .arg(sub->width())
                                .arg(sub->height())
                                .arg(area.width())
                                .arg(area.height())));
        if (area.width() >= 1032 && area.height() >= 740)
            QCOMPARE(sub->size(), QSize(1032, 740));
        auto *pages = calculator->findChild<QTabWidget *>("pc_loan");
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            const auto buttons = pages->currentWidget()->findChildren<QPushButton *>();
            QCOMPARE(buttons.size(), 3);
            for (QPushButton *b : buttons)
                QVERIFY2(clickable(m_main.get(), b), qPrintable(QString("page %1").arg(page)));
        }
    }

    // Cascade with three plans and the browser: the windows step down from
    // the top left, each title bar showing where a person clicks it, the
    // active plan last and on top, still active.
    void cascadeShowsEveryTitleBar()
    {
        m_main->resize(1280, 800);
        newPlanNamed("Holiday");
        newPlanNamed("Trip");
        m_main->barButton("sbtn_mylinks")->click();
        QVERIFY(m_main->browser());
        QMdiArea *area = m_main->documentArea();
        QMdiSubWindow *active = area->subWindowList(QMdiArea::CreationOrder).at(1);
        area->setActiveSubWindow(active);
        m_main->action("Cascade1")->trigger();
        QCoreApplication::processEvents();

        const auto windows = area->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(windows.size(), 4);
        QCOMPARE(area->activeSubWindow(), active);
        QCOMPARE(windows.back(), active);
        QWidget *viewport = area->viewport();
        QRect previous;
        for (QMdiSubWindow *sub : windows) {
            const QString name = sub->windowTitle();
            QVERIFY2(!sub->isMaximized() && !sub->isMinimized(), qPrintable(name));
            QVERIFY2(viewport->rect().contains(sub->geometry()), qPrintable(name));
            if (previous.isValid()) {
                QVERIFY2(sub->x() > previous.x() && sub->y() > previous.y(), qPrintable(name));
            }
            previous = sub->geometry();
            // The middle of its title bar, above the window's contents.
            const QPoint title = sub->mapTo(viewport, QPoint(sub->width() / 2, sub->widget()->y() / 2));
            QWidget *hit = viewport->childAt(title);
            QVERIFY2(hit == sub || sub->isAncestorOf(hit), qPrintable(name));
        }
        const QPoint middle = active->mapTo(viewport, active->rect().center());
        QVERIFY(active->isAncestorOf(viewport->childAt(middle)));
    }

    // Plan windows tiled at half the width or a third of the height of a
    // 1024 x 700 window keep their controls at a usable size and scroll to
    // them: the totals keep their captions, the items grid shows rows, and
    // each control scrolled into view is there to be clicked.
    void smallPlanWindowsScrollToTheirControls_data()
    {
        QTest::addColumn<int>("plans");
        QTest::addColumn<QString>("arrangement");
        QTest::newRow("half the width") << 2 << "Vertical1";
        QTest::newRow("a third of the height") << 3 << "Horizontal1";
    }

    void smallPlanWindowsScrollToTheirControls()
    {
        QFETCH(int, plans);
        QFETCH(QString, arrangement);
        m_main->resize(1024, 700);
        QCoreApplication::processEvents();
        for (int i = 1; i < plans; ++i)
            newPlanNamed(QString("Plan%1").arg(i));
        m_main->action(arrangement)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(m_main->planWindows().size(), plans);
        for (Tfrm_budget *plan : m_main->planWindows()) {
            auto *grid = plan->findChild<QTableView *>("dbgincome");
            QVERIFY(grid->viewport()->height() >= 3 * grid->verticalHeader()->defaultSectionSize());
            QVERIFY(grid->viewport()->width() >= 200);
            auto *reminders = plan->findChild<QTableView *>("VolgaDBGrid1");
            QVERIFY(reminders->viewport()->height() >= reminders->verticalHeader()->defaultSectionSize());
            auto *scroll = plan->findChild<QScrollArea *>("planScroll");
            QList<QWidget *> controls;
            for (const char *name : {"rg_items", "rgcat", "cb_item_total_freq", "ce_total", "dbgincome", "tvcatinc",
                                     "VolgaDBGrid1", "RGFrequency", "obnewitem", "obeditcat"})
                controls << plan->findChild<QWidget *>(name);
            for (int i = 0; i < 5; ++i)
                controls << plan->findChild<QWidget *>(QString("sbar_panel%1").arg(i));
            for (QWidget *control : std::as_const(controls)) {
                const QString name = plan->windowTitle() + " " + control->objectName();
                QVERIFY2(control->isVisible(), qPrintable(name));
                QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(name));
                if (control->objectName() != "VolgaDBGrid1") // a strip of its own fixed height
                    QVERIFY2(control->height() >= control->minimumSizeHint().height(), qPrintable(name));
                if (scroll)
                    scroll->ensureWidgetVisible(control, 0, 0);
                // A point of the control inside the scrolled view.
                const QRect view(scroll ? control->mapFrom(scroll->viewport(), QPoint(0, 0)) : QPoint(0, 0),
                                 scroll ? scroll->viewport()->size() : control->size());
                const QRect shown = control->rect() & view;
                QVERIFY2(!shown.isEmpty(), qPrintable(name));
                QWidget *hit = m_main->childAt(control->mapTo(m_main.get(), shown.center()));
                QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(name));
            }
            for (int i = 0; i < 5; ++i) {
                auto *panel = plan->findChild<StatusPanel *>(QString("sbar_panel%1").arg(i));
                QCOMPARE(panel->shownText(), panel->text());
            }
        }
    }

    // Print Preview shows the printed plan and keeps it as a PDF; Print puts
    // the same pages on the printer; the plan window's filters stay as they were.
    void printAndPreviewThePlan()
    {
        writePlan(path("home.pkb"), 3);
        FileDialog::queuePath(path("home.pkb"));
        m_main->barButton("sbtn_openplan")->click();
        Tfrm_budget *plan = m_main->activePlanWindow();
        const QString filter = plan->plan().items().filter();
        QVERIFY(m_main->action("mnuPrintPreview")->isEnabled());

        QString title;
        int pages = 0;
        ModalRunner::setHook([&](QDialog *d) {
            title = d->windowTitle();
            auto *view = d->findChild<QPrintPreviewWidget *>();
            QVERIFY(view);
            pages = view->pageCount();
            FileDialog::queuePath(path("home report.pdf"));
            d->findChild<QAction *>("SaveAsPdf")->trigger();
            d->accept();
        });
        m_main->action("mnuPrintPreview")->trigger();
        ModalRunner::setHook({});
        QCOMPARE(title, QString("Print Preview"));
        QCOMPARE(pages, 1);
        const auto requests = FileDialog::takeRequests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.back().defaultSuffix, QString("pdf"));
        const QString text = pdfText(path("home report.pdf"));
        for (const QString line : {"Income Items", "Category : Work", "Wage Monthly $1,000.00",
                                   "Monthly Income Total : $1000.00", "Monthly Budget Balance : $565.18"})
            QVERIFY2(text.simplified().contains(line), qPrintable(line + " in:\n" + text));

        m_main->printer()->setOutputFormat(QPrinter::PdfFormat);
        m_main->printer()->setOutputFileName(path("printed.pdf"));
        m_main->action("mnuPrint")->trigger();
        QCOMPARE(pdfText(path("printed.pdf")).simplified(), text.simplified());
        QCOMPARE(plan->plan().items().filter(), filter);

        // Ctrl+P with no printer to print on says so, once.
        m_main->printer()->setOutputFileName(QString());
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QTest::keyClick(m_main.get(), Qt::Key_P, Qt::ControlModifier);
        const QStringList said = GuiTest::shownTexts();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.front().startsWith("The report cannot be printed: "), qPrintable(said.front()));
    }

    // The calculator takes the plan's totals at "Monthly" and leaves the plan
    // on its own frequency; one at a time; the button bar hides meanwhile.
    void loanCalculatorCommand()
    {
        writePlan(path("home.pkb"), 1); // Weekly
        FileDialog::queuePath(path("home.pkb"));
        m_main->barButton("sbtn_openplan")->click();
        Tfrm_budget *plan = m_main->activePlanWindow();
        QCOMPARE(plan->displayFrequencyName(), QString("Weekly"));
        const QStringList weekly = plan->statusTexts();
        QVERIFY(m_main->barButton("LMDSB_loancalc")->isEnabled());

        m_main->action("LoanCalculator1")->trigger();
        Tfrm_loan_calc *calculator = m_main->loanCalculator();
        QVERIFY(calculator);
        QVERIFY(m_main->isCalculatorOpen());
        QCOMPARE(plan->displayFrequencyName(), QString("Weekly"));
        QCOMPARE(plan->statusTexts(), weekly);
        QCOMPARE(calculator->findChild<CurrencyBox *>("cecurrentbal")->value(), 565.18); // the monthly balance
        QCOMPARE(calculator->findChild<CurrencyBox *>("ceinc")->value(), 1000.0);
        QVERIFY(m_main->findChild<QFrame *>("pnl_main_buttons")->isHidden());

        // A second request brings the open calculator forward.
        m_main->documentArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(plan->parentWidget()));
        m_main->barButton("LMDSB_loancalc")->click();
        int calculators = 0;
        for (QMdiSubWindow *sub : m_main->documentArea()->subWindowList())
            calculators += qobject_cast<Tfrm_loan_calc *>(sub->widget()) != nullptr;
        QCOMPARE(calculators, 1);
        QCOMPARE(m_main->documentArea()->activeSubWindow()->widget(), calculator);

        // Its File menu stands in the main window's menu bar in place of the
        // plan's while it is active, with its keys; its own bar is hidden.
        QStringList shownMenus;
        for (QAction *menu : m_main->menuBar()->actions())
            if (menu->isVisible())
                shownMenus << menu->menu()->objectName();
        QCOMPARE(shownMenus.first(), QString("File1"));
        QVERIFY(!shownMenus.contains("mnuFile"));
        QVERIFY(calculator->menuBar()->isHidden());
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QTest::keyClick(m_main.get(), Qt::Key_P, Qt::ControlModifier); // nothing calculated yet
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Please enter the amount you wish to borrow"});

        // The printed loan report of page A, kept as a PDF from the preview.
        calculator->findChild<CurrencyBox *>("ceprincipal_A")->setValue(10000);
        calculator->findChild<QSpinBox *>("Rxlgth_A")->setValue(5);
        calculator->findChild<QDoubleSpinBox *>("RxRate_A")->setValue(7.5);
        calculator->calculate(0, 1);
        QString title;
        ModalRunner::setHook([&](QDialog *d) {
            title = d->windowTitle();
            FileDialog::queuePath(path("loan.pdf"));
            d->findChild<QAction *>("SaveAsPdf")->trigger();
            d->accept();
        });
        calculator->findChild<QAction *>("PrintPreview1")->trigger();
        ModalRunner::setHook({});
        QCOMPARE(title, QString("Print Preview"));
        const QString text = pdfText(path("loan.pdf")).simplified();
        for (const QString line : {"Principal : $10000.00.", "Scenario : 1", "$200.38", "Outstanding Balance :"})
            QVERIFY2(text.contains(line), qPrintable(line + " in: " + text));

        calculator->findChild<QAction *>("CloseLoanCalculator1")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!m_main->isCalculatorOpen());
        QVERIFY(!m_main->findChild<QFrame *>("pnl_main_buttons")->isHidden());
        QTRY_VERIFY(!m_main->loanCalculator());
        m_main->barButton("LMDSB_loancalc")->click(); // open again once closed
        QVERIFY(m_main->loanCalculator());
    }

    // Options > Calculator opens the calculator, a dialog of its own.
    void calculatorCommand()
    {
        QString shown;
        ModalRunner::setHook([&](QDialog *d) {
            auto *calc = qobject_cast<RxCalc *>(d);
            QVERIFY(calc);
            shown = calc->display();
            d->accept();
        });
        m_main->action("Calculator1")->trigger();
        QCOMPARE(shown, QString("0"));
    }

    void printerSetupAndBugReport()
    {
        QString dialogName;
        QStringList confirm;
        ModalRunner::setHook([&](QDialog *d) {
            dialogName = d->objectName();
            for (QDialogButtonBox *buttons : d->findChildren<QDialogButtonBox *>())
                if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok); ok && ok->isVisible())
                    confirm << ok->text();
            d->reject();
        });
        m_main->action("PrinterSetup1")->trigger();
        QCOMPARE(dialogName, QString("PSD"));
        QCOMPARE(confirm, QStringList{"OK"}); // it prints nothing
        QVERIFY(m_main->printer());

        MailCatcher catcher;
        QDesktopServices::setUrlHandler("mailto", &catcher, "open");
        m_main->action("ReportABug1")->trigger();
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.front().scheme(), QString("mailto"));
        QCOMPARE(QUrlQuery(catcher.urls.front()).queryItemValue("Subject", QUrl::FullyDecoded),
                 QString("Report A Bug - Kavo Pursekeep Version 3"));
    }

    // With no mail program to take the link, Report A Bug says so and
    // gives the address and the subject to copy.
    void bugReportWithoutAMailProgram()
    {
        QDesktopServices::unsetUrlHandler("mailto"); // the offscreen desktop opens nothing
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("ReportABug1")->trigger();
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Information);
        const QStringList lines = shown.front().text.split('\n');
        QVERIFY2(lines.front().startsWith("No mail program answered"), qPrintable(lines.front()));
        QVERIFY(lines.contains("support@kavopursekeep.example"));
        QVERIFY(lines.contains("Report A Bug - Kavo Pursekeep Version 3"));
    }

    void editMenuForwardsToThePlanWindow()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->plan().items().appendRow({"Wage", "Monthly", 1000, "Work", "I"});
        MessageBox::queueAnswer(MessageBox::Answer::No);
        m_main->action("mnuDeleteItem")->trigger();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Are you sure you want to delete : Wage"});
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("mnuNewItem")->trigger(); // no income category yet
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Please enter income categories"});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
