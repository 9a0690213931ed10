#include "ChildProcess.h"
#include "DiskFailure.h"
#include "GuiTestSupport.h"
#include "PdfText.h"

#include "app/RxCalc.h"
#include "app/frm_main.h"
#include "app/PlanDocuments.h"
#include "auxwindows/frm_browser.h"
#include "loanwindow/frm_loan_calc.h"
#include "widgets/CurrencyBox.h"
#include "widgets/frm_msg.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "planwindow/frm_budget.h"
#include "widgets/RadioGroup.h"
#include "widgets/StatusPanel.h"

#include <QStandardPaths>
#include <QAbstractItemView>
#include <QAction>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QLabel>
#include <algorithm>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QHeaderView>
#include <QScrollArea>
#include <QTableView>
#include <QTabWidget>
#include <QComboBox>
#include <QFrame>
#include <QDesktopServices>
#include <QTemporaryDir>
#include <QMap>
#include <optional>
#include <QUrlQuery>
#include <QElapsedTimer>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QToolButton>

// Catches the mail link the program asks the desktop to open.
class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// The main window with its plan windows: start-up, opening, creating and
// saving plans, and the exit protocol.
class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    Tfrm_budget *onlyPlan() const
    {
        const auto plans = m_main->planWindows();
        return plans.size() == 1 ? plans.front() : nullptr;
    }

    // A saved plan in `folder`: an income of 1000 a month and an expense of
    // 100 a week, with the settings file when `frequency` >= 0.
    static void writePlan(const QString &file, int frequency)
    {
        Plan plan;
        plan.categories().appendRow({"Work", "I"});
        plan.categories().appendRow({"Home", "E"});
        plan.items().appendRow({"Wage", "Monthly", 1000, "Work", "I", "paid on the 1st"});
        plan.items().appendRow({"Food", "Weekly", 100, "Home", "E"});
        PlanFiles::savePlanTables(plan, file);
        if (frequency >= 0)
            PlanFiles::writeDisplayFrequency(file + "ini", frequency);
    }

    Tfrm_budget *newPlanNamed(const QString &name)
    {
        ModalRunner::setHook([name](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("eb_newplan")->setText(name);
            dialog->findChild<QPushButton *>("LMDsbtn_ok")->click();
        });
        m_main->barButton("sb_new_plan")->click();
        ModalRunner::setHook({});
        return m_main->activePlanWindow();
    }

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
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        Tfrm_msg::takeShownTexts();
    }

    void cleanup()
    {
        m_main.reset(); // frees the windows without asking
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
        GUITEST_CLEANUP();
    }

    void startsWithUntitled1()
    {
        // A maximised document window adds its title, as in every MDI program.
        QCOMPARE(m_main->windowTitle(), QString("Kavo Pursekeep - [Untitled1]"));
        Tfrm_budget *plan = onlyPlan();
        QVERIFY(plan);
        QCOMPARE(plan->windowTitle(), QString("Untitled1"));
        QCOMPARE(plan->planfile(), path("Untitled1"));
        QVERIFY(plan->parentWidget()->isMaximized());
        QCOMPARE(plan->statusTexts(),
                 QStringList({"Income Total: $0.00", "Expense Total: $0.00", "Savings Goals: $0.00",
                              "Total Loans: $0.00", "Balance: $0.00"}));
        QCOMPARE(plan->pages()->tabText(plan->pages()->currentIndex()), QString("Budget Items"));
        QCOMPARE(plan->findChild<RadioGroup *>("rg_items")->currentText(), QString("Income"));
        QCOMPARE(plan->findChild<RadioGroup *>("rgcat")->currentText(), QString("No"));
        QVERIFY(plan->findChild<QFrame *>("pnl_notes")->isHidden());
        QCOMPARE(plan->findChild<QComboBox *>("cb_item_total_freq")->currentText(), QString("Fortnightly"));
        QCOMPARE(plan->displayFrequencyName(), QString("Fortnightly"));
        QCOMPARE(plan->findChild<QLineEdit *>("ce_total")->text(), QString());
        QCOMPARE(plan->pagekind(), QString("income"));
        QVERIFY(plan->saved());
        QCOMPARE(plan->statusToolTip(), QString("Plan Balance Totals As Per Frequncy"));
        // Commands that need a plan follow the active window.
        QVERIFY(m_main->action("mnuSavePlan")->isEnabled());
        QVERIFY(m_main->action("mnuPrint")->isEnabled());
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

    void savingUnchangedPlanWritesWithoutDialog()
    {
        m_main->action("mnuSavePlan")->trigger();
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            QVERIFY2(QFile::exists(path("Untitled1" + suffix)), qPrintable(suffix));
        QCOMPARE(QFileInfo(path("Untitled1")).size(), 206);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"Untitled1\" has been saved"});
        QVERIFY(onlyPlan()->saved());
    }

    void cancelledSaveWritesOnlyTheSettingsCopy()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->setSaved(false);
        plan->setDisplayFrequency(4);
        FileDialog::queueCancel();
        m_main->action("mnuSavePlan")->trigger();
        const auto requests = FileDialog::takeRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.front().title, QString("Save \"Untitled\" Budget Plan As"));
        // A plan that no file holds yet is saved where the person keeps
        // documents, not in the program's own folder its name points into.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY2(requests.front().directory == documents || requests.front().directory == QDir::homePath(),
                 qPrintable(requests.front().directory));
        QCOMPARE(requests.front().fileName, QString("Untitled1"));
        QVERIFY(!QFile::exists(path("Untitled1")));
        QVERIFY(!QFile::exists(path("Untitled1cat")));
        QCOMPARE(PlanFiles::readDisplayFrequencyText(path("Untitled1ini")), QString("4"));
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"Untitled1\""});
        QVERIFY(!plan->saved());
        QCOMPARE(plan->windowTitle(), QString("Untitled1"));
    }

    void saveAsAlwaysAsksAndCancelLeavesItChanged()
    {
        Tfrm_budget *plan = onlyPlan();
        QVERIFY(plan->saved());
        FileDialog::queueCancel();
        m_main->action("mnuPlanSaveAs")->trigger();
        QCOMPARE(FileDialog::takeRequests().size(), 1);
        QVERIFY(!plan->saved());
        QVERIFY(Tfrm_msg::takeShownTexts().isEmpty());

        QDir(m_dir->path()).mkdir("elsewhere");
        FileDialog::queuePath(path("elsewhere/home.pkb"));
        m_main->action("mnuPlanSaveAs")->trigger();
        QVERIFY(plan->saved());
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        QVERIFY(QFile::exists(path("elsewhere/home.pkbrem")));
        QVERIFY(QFile::exists(path("home.pkbini"))); // the settings copy in the program folder
    }

    void saveOnAFailingDiskKeepsThePlan_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full disk") << true;
        QTest::newRow("file-size limit") << false;
    }

    // A save that cannot be completed says so, leaves the plan unsaved (so
    // closing still asks) and every file of the saved plan as it was.
    void saveOnAFailingDiskKeepsThePlan()
    {
        QFETCH(bool, fullDisk);
        SmallDisk disk(256 * 1024);
        if (fullDisk)
            SMALL_DISK_OR_SKIP(disk);
        const QString file = fullDisk ? disk.filePath("home.pkb") : path("home.pkb");
        writePlan(file, 3);
        QMap<QString, QByteArray> before;
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            before[suffix] = readAll(file + suffix);
        FileDialog::queuePath(file);
        m_main->barButton("sbtn_openplan")->click();
        Tfrm_budget *plan = m_main->activePlanWindow();
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        for (int i = 0; i < 300; ++i)
            plan->plan().items().appendRow({QStringLiteral("Extra %1").arg(i), "Weekly", 1, "Home", "E"});
        plan->setSaved(false);

        if (fullDisk)
            QVERIFY(disk.leaveFree(4096));
        FileDialog::queuePath(file);
        {
            std::optional<FileSizeLimit> limit;
            if (!fullDisk)
                limit.emplace(4096);
            plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        }
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"home.pkb\""});
        QVERIFY(!plan->saved());
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            QVERIFY2(readAll(file + suffix) == before[suffix], qPrintable(suffix));
        if (fullDisk) {
            // Only the plan and the lock of its open window.
            QCOMPARE(disk.entries(), QStringList({"home.pkb", "home.pkb.lock", "home.pkbcat", "home.pkbini",
                                                  "home.pkbln", "home.pkbrem", "home.pkbsv"}));
            QVERIFY(!QFile::exists(path("home.pkbini"))); // the settings copy goes with the tables
        }

        // With room again, the same command saves it.
        if (fullDisk)
            QVERIFY(QFile::remove(disk.filePath(".filler")));
        FileDialog::queuePath(file);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), 302);
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
        QVERIFY2(area.contains(sub->geometry()), qPrintable(QString("%1,%2 %3x%4 in %5x%6")
                                                                 .arg(sub->x()).arg(sub->y())
                                                                 .arg(sub->width()).arg(sub->height())
                                                                 .arg(area.width()).arg(area.height())));
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
            for (const char *name : {"rg_items", "rgcat", "cb_item_total_freq", "ce_total", "dbgincome",
                                     "tvcatinc", "VolgaDBGrid1", "RGFrequency", "obnewitem", "obeditcat"})
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

    // Plans named on the command line open in their order instead of the
    // start-up plan, the last one active; a damaged one says why and the
    // others open; when none opens, the start-up plan does.
    void plansNamedOnTheCommandLine()
    {
        m_main.reset();
        writePlan(path("home.pkb"), 3);
        writePlan(path("work.pkb"), 1);
        QFile damaged(path("bad.pkb"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a plan");
        damaged.close();

        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->setPlansToOpen({path("home.pkb"), path("bad.pkb"), "work.pkb"}); // relative to the current folder
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->show();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().contains(path("bad.pkb")), qPrintable(shown.front()));
        QStringList titles;
        for (Tfrm_budget *plan : m_main->planWindows())
            titles << plan->windowTitle();
        QCOMPARE(titles, QStringList({"home.pkb", "work.pkb"}));
        QCOMPARE(m_main->activePlanWindow()->windowTitle(), QString("work.pkb"));
        QCOMPARE(m_main->activePlanWindow()->displayFrequencyName(), QString("Weekly"));
        m_main.reset();

        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->setPlansToOpen({path("bad.pkb")});
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->show();
        MessageBox::takeShown();
        QCOMPARE(m_main->planWindows().size(), 1);
        QCOMPARE(m_main->activePlanWindow()->windowTitle(), QString("Untitled1"));
    }

    void openingAPlan()
    {
        QDir(m_dir->path()).mkdir("plans");
        writePlan(path("plans/home.pkb"), 3);
        FileDialog::queuePath(path("plans/home.pkb"));
        m_main->barButton("sbtn_openplan")->click();
        QCOMPARE(m_main->planWindows().size(), 2);
        Tfrm_budget *plan = m_main->activePlanWindow();
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        QCOMPARE(plan->planfile(), path("plans/home.pkb"));
        QCOMPARE(plan->displayFrequencyName(), QString("Monthly"));
        QCOMPARE(plan->statusTexts().at(4), QString("Balance: $565.18"));
        QCOMPARE(plan->plan().items().rowCount(), 1); // the income items
        QCOMPARE(plan->plan().items().filter(), QString("catid = 'I'"));
        QVERIFY(plan->saved());

        // The same file again only brings it forward.
        m_main->documentArea()->setActiveSubWindow(m_main->documentArea()->subWindowList().front());
        FileDialog::queuePath(path("plans/home.pkb"));
        m_main->action("mnuOpenPlan")->trigger();
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(m_main->activePlanWindow(), plan);
        QCOMPARE(plan->planfile(), path("plans/home.pkb"));

        // Cancelled: nothing opens.
        FileDialog::queueCancel();
        QVERIFY(!m_main->documents()->openPlan());
        QCOMPARE(m_main->planWindows().size(), 2);
    }

    void openingWithoutSettingsFile()
    {
        writePlan(path("nosettings.pkb"), -1);
        QFile::remove(path("nosettings.pkbsv"));
        FileDialog::queuePath(path("nosettings.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->documents()->openPlan();
        // No settings file is no error: the plan shows at Fortnightly. The
        // missing savings file is named.
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Warning);
        QCOMPARE(shown.front().text, QString("\"nosettings.pkb\" lacks files of the plan, so what they hold is not "
                                             "shown:\nnosettings.pkbsv"));
        Tfrm_budget *plan = m_main->activePlanWindow();
        QVERIFY(plan->isVisible());
        QCOMPARE(plan->windowTitle(), QString("nosettings.pkb"));
        QCOMPARE(plan->plan().items().totalRowCount(), 2);
        QCOMPARE(plan->plan().savings().totalRowCount(), 0);
        QCOMPARE(plan->displayFrequencyName(), QString("Fortnightly"));
        QCOMPARE(plan->plan().categoryTrees().income.size(), 1);
    }

    // A plan open in another running copy is opened only when the person
    // says so, and then without its lock; a lock whose process died does not
    // count; the window that holds the lock gives it up when it closes.
    void aPlanOpenElsewhereIsOpenedOnlyWhenSaidSo()
    {
        writePlan(path("shared.pkb"), 3);
        const QString lockFile = path("shared.pkb.lock");
        {
            PlanLock elsewhere(path("shared.pkb"), PlanLock::Kind::Open);
            QCOMPARE(elsewhere.tryLock(), PlanLock::Result::Locked);
            const QString question = QString("\"%1\" is open in another copy of the program (process %2")
                                         .arg(path("shared.pkb"))
                                         .arg(QCoreApplication::applicationPid());
            MessageBox::queueAnswer(MessageBox::Answer::No);
            QVERIFY(!m_main->documents()->openPlanFile(path("shared.pkb")));
            auto shown = MessageBox::takeShown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.front().text.startsWith(question), qPrintable(shown.front().text));
            QCOMPARE(shown.front().defaultAnswer, MessageBox::Answer::No);
            QCOMPARE(m_main->planWindows().size(), 1);

            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            QVERIFY(m_main->documents()->openPlanFile(path("shared.pkb")));
            QCOMPARE(MessageBox::takeShown().size(), 1);
            Tfrm_budget *plan = m_main->activePlanWindow();
            QCOMPARE(plan->windowTitle(), QString("shared.pkb"));
            QVERIFY(!plan->holdsOpenLock());
            plan->setSaved(true);
            delete plan->parentWidget();
        }
        QVERIFY(!QFile::exists(lockFile));

        // Held by a program that has died since: the lock file stays.
        QCOMPARE(exitStatusOfChild([&] {
                     auto *lock = new PlanLock(path("shared.pkb"), PlanLock::Kind::Open);
                     return lock->tryLock() == PlanLock::Result::Locked ? 0 : 1;
                 }),
                 0);
        QVERIFY(QFile::exists(lockFile));
        QVERIFY(m_main->documents()->openPlanFile(path("shared.pkb")));
        QVERIFY(MessageBox::takeShown().isEmpty());
        Tfrm_budget *plan = m_main->activePlanWindow();
        QVERIFY(plan->holdsOpenLock());
        QVERIFY(QFile::exists(lockFile));
        {
            PlanLock second(path("shared.pkb"), PlanLock::Kind::Open);
            QCOMPARE(second.tryLock(), PlanLock::Result::HeldElsewhere);
        }
        plan->setSaved(true);
        delete plan->parentWidget();
        QVERIFY(!QFile::exists(lockFile));
    }

    // A named pipe where a plan file should be is refused at once, with
    // why, instead of freezing the window with the other plans in it.
    void aPipeInAPlanFilesPlaceIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("the main file") << "";
        QTest::newRow("the reminders file") << "rem";
    }

    void aPipeInAPlanFilesPlaceIsRefusedAtOnce()
    {
        QFETCH(QString, suffix);
        writePlan(path("piped.pkb"), 3);
        QFile::remove(path("piped.pkb") + suffix);
        QCOMPARE(::mkfifo(QFile::encodeName(path("piped.pkb") + suffix).constData(), 0600), 0);
        QElapsedTimer timer;
        timer.start();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QVERIFY(!m_main->documents()->openPlanFile(path("piped.pkb")));
        QVERIFY(timer.elapsed() < 5000);
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.front().contains(path("piped.pkb") + suffix) && texts.front().contains("named pipe"),
                 qPrintable(texts.front()));
        QCOMPARE(m_main->planWindows().size(), 1);
        QVERIFY(!QFile::exists(path("piped.pkb.lock")));
    }

    // Another program (a sync tool, another computer) replaced the plan's
    // files after this window read them: Save asks before it writes over
    // them, and No keeps theirs.
    void saveOverFilesChangedOnDiskAsksFirst()
    {
        writePlan(path("home.pkb"), 3);
        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        Tfrm_budget *plan = m_main->activePlanWindow();
        plan->plan().items().appendRow({"Mine", "Weekly", 5, "Home", "E"});
        plan->setSaved(false);

        Plan theirs;
        theirs.categories().appendRow({"Work", "I"});
        theirs.items().appendRow({"Theirs", "Daily", 7, "Work", "I"});
        PlanFiles::savePlan(theirs, path("home.pkb"), QString(), 3);
        const QByteArray theirBytes = readAll(path("home.pkb"));

        FileDialog::queuePath(path("home.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::No);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Warning);
        QCOMPARE(shown.front().text, QString("\"home.pkb\" has been changed on disk by another program since it "
                                             "was opened or last saved here.\nSaving now replaces those changes "
                                             "with this plan. Overwrite it?"));
        QCOMPARE(shown.front().defaultAnswer, MessageBox::Answer::No);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"home.pkb\""});
        QCOMPARE(readAll(path("home.pkb")), theirBytes);
        QVERIFY(!plan->saved());

        FileDialog::queuePath(path("home.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QCOMPARE(MessageBox::takeShown().size(), 1);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        Plan back;
        PlanFiles::loadPlan(back, path("home.pkb"));
        QCOMPARE(back.items().totalRowCount(), 3);
        // Its own save is no change by another program: the next one asks nothing.
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QVERIFY(MessageBox::takeShown().isEmpty());
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        QCOMPARE(PlanFiles::readDisplayFrequencyText(path("home.pkbini")), QString("3"));
    }

    void openingADamagedPlanShowsWhyAndOpensNothing()
    {
        writePlan(path("damaged.pkb"), 2);
        QFile f(path("damaged.pkbcat"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("not a plan file at all, just some words");
        f.close();
        FileDialog::queuePath(path("damaged.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->documents()->openPlan();
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.front().contains(path("damaged.pkbcat")), qPrintable(texts.front()));
        QCOMPARE(m_main->planWindows().size(), 1);
    }

    void newPlanDialog()
    {
        Tfrm_budget *plan = newPlanNamed("Holiday");
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(plan->windowTitle(), QString("Holiday.PKB"));
        QCOMPARE(plan->planfile(), QString("Holiday.PKB"));
        QVERIFY(!QFile::exists(path("Holiday.PKB")));

        // Saving it unchanged writes it beside the current folder, no dialog.
        plan->toolButton("LMDSbtn_save_plan")->click();
        QVERIFY(QFile::exists(path("Holiday.PKB")));
        QVERIFY(QFile::exists(path("Holiday.PKBrem")));

        ModalRunner::setHook([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("eb_newplan")->setText("Ignored");
            dialog->findChild<QPushButton *>("LMDsbtn_cancel")->click();
        });
        m_main->documents()->newPlan();
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(m_main->documents()->pendingPlanName(), QString());
    }

    void closeAskingAboutUnsavedChanges()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->setSaved(false);
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        plan->toolButton("obcloseplan")->click();
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"Changes made to : \r\"" + path("Untitled1") +
                             "\"\rhave NOT been saved.\rDo you wish to save them now ?"});
        QCOMPARE(m_main->planWindows().size(), 1);
        QVERIFY(!QFile::exists(path("Untitled1ini"))); // a plan no file holds has no settings file

        MessageBox::queueAnswer(MessageBox::Answer::No);
        m_main->action("mnuPlanClose")->trigger();
        QTRY_COMPARE(m_main->planWindows().size(), 0);
        QVERIFY(!QFile::exists(path("Untitled1"))); // closing writes no table file
        QVERIFY(!m_main->action("mnuSavePlan")->isEnabled());
    }

    void closeAllStopsAtTheRefusingPlan()
    {
        Tfrm_budget *first = onlyPlan();
        Tfrm_budget *middle = newPlanNamed("Middle");
        Tfrm_budget *last = newPlanNamed("Last");
        Q_UNUSED(last);
        middle->setSaved(false);
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        m_main->action("mnuPlanCloseAll")->trigger();
        QCOMPARE(MessageBox::takeShown().size(), 1);
        const auto plans = m_main->planWindows();
        QCOMPARE(plans, (QList<Tfrm_budget *>{first, middle}));
        QVERIFY(middle->parentWidget()->isMaximized());
        QCOMPARE(m_main->activePlanWindow(), middle);
    }

    void exitProtocol()
    {
        Tfrm_budget *first = onlyPlan();
        Tfrm_budget *second = newPlanNamed("Second");
        first->setSaved(false);
        second->setSaved(false);

        // The last window is asked first; Cancel there stops the exit.
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        QVERIFY(!m_main->close());
        QCOMPARE(MessageBox::takeShown().size(), 1);
        QCOMPARE(m_main->planWindows().size(), 2);
        QVERIFY(second->parentWidget()->isMaximized());
        QVERIFY(!m_main->isClosingAll());

        // No for both ends the program without saving.
        MessageBox::queueAnswer(MessageBox::Answer::No);
        MessageBox::queueAnswer(MessageBox::Answer::No);
        QVERIFY(m_main->close());
        QCOMPARE(MessageBox::takeShown().size(), 2);
        QVERIFY(!QFile::exists(path("Untitled1")));
        QVERIFY(!QFile::exists(path("Second.PKB")));
    }

    void calculator_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("display");
        QTest::newRow("left to right") << QStringList{"2", "+", "3", "*", "4", "="} << "20";
        QTest::newRow("decimals") << QStringList{"1", ".", "5", "+", ".", "2", "5", "="} << "1.75";
        QTest::newRow("one point only") << QStringList{"1", ".", ".", "5"} << "1.5";
        QTest::newRow("division by zero") << QStringList{"7", "/", "0", "="} << "Error";
        QTest::newRow("error until cleared") << QStringList{"7", "/", "0", "=", "5", "C", "5"} << "5";
        QTest::newRow("sign change") << QStringList{"9", "±", "-", "1", "="} << "-10";
        QTest::newRow("operator changed") << QStringList{"8", "+", "-", "3", "="} << "5";
    }

    void calculator()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, display);
        QString shown;
        ModalRunner::setHook([&](QDialog *d) {
            auto *calc = qobject_cast<RxCalc *>(d);
            QVERIFY(calc);
            for (const QString &k : keys)
                QTest::mouseClick(calc->findChild<QPushButton *>("key_" + k), Qt::LeftButton);
            shown = calc->display();
            d->accept();
        });
        m_main->action("Calculator1")->trigger();
        QCOMPARE(shown, display);
    }

    // Where a person clicks: every point of a key (its corners and the halves
    // of the wide "0") belongs to that key and to no other.
    void calculatorKeysDoNotOverlap()
    {
        RxCalc calc;
        static_cast<QWidget &>(calc).show();
        QVERIFY(QTest::qWaitForWindowExposed(&calc));
        const QList<QPushButton *> keys = calc.findChildren<QPushButton *>();
        QCOMPARE(keys.size(), 18);
        for (QPushButton *key : keys) {
            const QRect r = key->geometry();
            QVERIFY2(r.width() >= 44 && r.height() >= 34, qPrintable(key->text()));
            for (const QPoint &p : {r.center(), r.topLeft() + QPoint(3, 3), r.topRight() + QPoint(-3, 3),
                                    r.bottomLeft() + QPoint(3, -3), r.bottomRight() + QPoint(-3, -3)})
                QVERIFY2(calc.childAt(p) == key, qPrintable(key->text() + " covered"));
        }
        QPushButton *zero = calc.findChild<QPushButton *>("key_0");
        QPushButton *one = calc.findChild<QPushButton *>("key_1");
        QPushButton *two = calc.findChild<QPushButton *>("key_2");
        QCOMPARE(zero->geometry().left(), one->geometry().left());
        QCOMPARE(zero->geometry().right(), two->geometry().right());
        QTest::mouseClick(zero, Qt::LeftButton, {}, QPoint(zero->width() - 5, zero->height() / 2));
        QTest::mouseClick(calc.findChild<QPushButton *>("key_."), Qt::LeftButton);
        QTest::mouseClick(one, Qt::LeftButton);
        QCOMPARE(calc.display(), QString("0.1"));

        // Delete and Backspace clear it, as its help page says, typed where
        // the focus is when it opens.
        for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
            QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : &calc, "12+3");
            QVERIFY(calc.display() != "0");
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &calc, key);
            QCOMPARE(calc.display(), QString("0"));
        }
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

    void exitWithUnchangedPlansAsksNothing()
    {
        newPlanNamed("Another");
        QVERIFY(m_main->close());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
