#include "frm_main.h"
#include "RxCalc.h"
#include "frm_newplan.h"

#include "auxwindows/AboutBox.h"
#include "auxwindows/Pictures.h"
#include "auxwindows/frm_browser.h"
#include "loanwindow/frm_loan_calc.h"
#include "plan/Frequency.h"
#include "plan/PageKind.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "plan/ProgramFolders.h"
#include "plan/RecentPlans.h"
#include "planwindow/frm_budget.h"
#include "app/PlanDocumentReport.h"
#include "reports/PlanReport.h"
#include "widgets/FileDialog.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"
#include "widgets/HoverFocus.h"
#include "widgets/MenuKeys.h"
#include "widgets/OnScreenHints.h"
#include "widgets/ReportOutput.h"

#include <QAction>
#include <QActionGroup>
#include <QTabWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QUrlQuery>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QUndoGroup>
#include <QUndoStack>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kPlanFilter = QStringLiteral("Pursekeep files (*.pkb *.PKB)");

struct ButtonDef
{
    const char *name;
    const char *caption;
    const char *tooltip;
    int width;
    QStyle::StandardPixmap icon;
};

constexpr ButtonDef kLeftButtons[] = {
    {"sbtn_openplan", "Open Plan", "Click To Open A Saved Budget Plan", 105, QStyle::SP_DialogOpenButton},
    {"sb_new_plan", "New Plan", "Click To Create A New Budget Plan", 105, QStyle::SP_FileIcon},
    {"sbtn_mylinks", "Internet", "Click To Browse The Internet", 105, QStyle::SP_DriveNetIcon},
};
constexpr ButtonDef kRightButtons[] = {
    {"LMDSB_loancalc", "Loan Calculator", "Click To Open The Loan Calculator", 121, QStyle::SP_FileDialogInfoView},
    {"sbtn_calc", "Calculator", "Click To Open The Calculator", 121, QStyle::SP_ComputerIcon},
    {"sbtn_exit", "Exit", "Click To Exit", 121, QStyle::SP_DialogCloseButton},
};

} // namespace

Tfrm_main::Tfrm_main(const QString &programFolder, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frm_main"));
    setWindowTitle(QStringLiteral("Kavo Pursekeep"));
    setWindowIcon(Pictures::programIcon());

    // Dates are day/month/year with slashes everywhere in the program; the
    // format in force before is put back at exit.
    m_systemDateFormat = Format::shortDateFormat();
    Format::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));

    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // An installed program finds its read-only files in the install's share
    // folder and writes its own files in the user's data folder.
    const QString executableFolder = programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    m_resourceFolder = ProgramFolders::resourceFolder(executableFolder);
    m_programFolder = ProgramFolders::writableFolder(executableFolder);
    m_recentPlans = std::make_unique<RecentPlans>(ProgramFolders::recentPlansFile());
    // The file dialogs start where the person last kept a plan.
    if (FileDialog::lastFolder().isEmpty() && !m_recentPlans->entries().isEmpty())
        FileDialog::setLastFolder(QFileInfo(m_recentPlans->entries().constFirst()).absolutePath());

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildButtonBar();
    m_mdi = new QMdiArea(central);
    m_mdi->setObjectName(QStringLiteral("documentArea"));
    m_mdi->setBackground(palette().brush(QPalette::Window));
    layout->addWidget(m_buttonBar);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);
    buildHintsPanel();
    m_mdi->installEventFilter(this);
    m_undoGroup = new QUndoGroup(this);
    buildMenus();
    MenuKeys::install();
    updateRecentPlansMenu();
    OnScreenHints::install();
    applyConfiguration();

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &Tfrm_main::subWindowActivated);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size());
    updateMenus();
}

Tfrm_main::~Tfrm_main()
{
    // The document windows go with this window; they are not activated on the way.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_mdi->removeEventFilter(this);
}

// --- layout ------------------------------------------------------------------------

void Tfrm_main::buildButtonBar()
{
    m_buttonBar = new QFrame(this);
    m_buttonBar->setObjectName(QStringLiteral("pnl_main_buttons"));
    m_buttonBar->setFixedHeight(41);
    m_buttonBar->setFrameShape(QFrame::Panel);
    m_buttonBar->setFrameShadow(QFrame::Sunken);
    auto *bar = new QHBoxLayout(m_buttonBar);
    bar->setContentsMargins(8, 8, 7, 8);
    bar->setSpacing(7);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    const auto make = [&](const ButtonDef &def) {
        auto *b = new QToolButton(m_buttonBar);
        b->setObjectName(QLatin1String(def.name));
        b->setText(QLatin1String(def.caption));
        b->setToolTip(QLatin1String(def.tooltip));
        b->setIcon(style()->standardIcon(def.icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFixedHeight(25);
        b->setMinimumWidth(def.width); // wider where the caption needs it
        b->setFont(font);
        b->setFocusPolicy(Qt::StrongFocus);
        HoverFocus::apply(b);
        bar->addWidget(b);
    };
    for (const ButtonDef &def : kLeftButtons)
        make(def);
    bar->addStretch(1);
    for (const ButtonDef &def : kRightButtons)
        make(def);

    connect(barButton("sbtn_openplan"), &QToolButton::clicked, this, [this] { openPlan(); });
    connect(barButton("sb_new_plan"), &QToolButton::clicked, this, &Tfrm_main::newPlan);
    connect(barButton("sbtn_exit"), &QToolButton::clicked, this, &QWidget::close);
    connect(barButton("sbtn_calc"), &QToolButton::clicked, this, &Tfrm_main::showCalculator);
    connect(barButton("LMDSB_loancalc"), &QToolButton::clicked, this, &Tfrm_main::openLoanCalculator);
    connect(barButton("sbtn_mylinks"), &QToolButton::clicked, this, [this] { openBrowser(QUrl()); });
}

void Tfrm_main::buildHintsPanel()
{
    m_hintPanel = new QFrame(m_mdi);
    m_hintPanel->setObjectName(QStringLiteral("pnlhint"));
    m_hintPanel->setFrameShape(QFrame::Panel);
    m_hintPanel->setFrameShadow(QFrame::Raised);
    m_hintPanel->setAutoFillBackground(true);
    m_hintPanel->resize(665, 345);
    auto *layout = new QVBoxLayout(m_hintPanel);
    auto *text = new QTextEdit(m_hintPanel);
    text->setObjectName(QStringLiteral("RE1"));
    // The hints can be marked up on screen; nothing is written back.
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setFixedHeight(304);
    auto *bottom = new QHBoxLayout;
    auto *close = new QPushButton(QStringLiteral("Close"), m_hintPanel);
    close->setObjectName(QStringLiteral("btn_hint_close"));
    close->setToolTip(QStringLiteral("Close This Hint"));
    auto *show = new QCheckBox(QStringLiteral("Show On Startup"), m_hintPanel);
    show->setObjectName(QStringLiteral("cb_show_hint"));
    show->setToolTip(QStringLiteral("Click To Show This Hint On Startup"));
    show->setChecked(true);
    bottom->addWidget(close);
    bottom->addStretch(1);
    bottom->addWidget(show);
    layout->addWidget(text);
    layout->addLayout(bottom);
    connect(close, &QPushButton::clicked, this, &Tfrm_main::closeHintPanel);
    connect(show, &QCheckBox::clicked, this, &Tfrm_main::cb_show_hintClick);
    m_hintPanel->hide();
}

void Tfrm_main::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("BcBarMainMnu"));

    const auto menu = [&](const char *name, const char *caption) {
        QMenu *m = bar->addMenu(QLatin1String(caption));
        m->setObjectName(QLatin1String(name));
        m->setSeparatorsCollapsible(false);
        return m;
    };
    const auto entry = [&](QMenu *m, const char *name, const char *caption, const QKeySequence &keys = {}) {
        QAction *a = m->addAction(QString::fromUtf8(caption));
        a->setObjectName(QLatin1String(name));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        return a;
    };

    QMenu *file = menu("mnuFile", "&File");
    file->addSection(QStringLiteral("Load Plan"));
    connect(entry(file, "mnuNewPlan", "&New", QKeySequence(QStringLiteral("Ctrl+N"))), &QAction::triggered, this,
            [this] { barButton("sb_new_plan")->click(); });
    connect(entry(file, "mnuOpenPlan", "&Open", QKeySequence(QStringLiteral("Ctrl+O"))), &QAction::triggered, this,
            [this] { barButton("sbtn_openplan")->click(); });
    m_recentMenu = file->addMenu(QStringLiteral("&Recent Plans"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecentPlans"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("mnuRecentPlansMenu"));
    // Read again each time: another copy of the program may have added to it.
    connect(m_recentMenu, &QMenu::aboutToShow, this, &Tfrm_main::updateRecentPlansMenu);
    connect(entry(file, "mnuImportCsv", "&Import From CSV…"), &QAction::triggered, this,
            &Tfrm_main::importFromCsv);
    file->addSection(QStringLiteral("Save Plan"));
    connect(entry(file, "mnuSavePlan", "&Save", QKeySequence(QStringLiteral("Ctrl+S"))), &QAction::triggered,
            this, [this] { forwardToPlan("LMDSbtn_save_plan"); });
    connect(entry(file, "mnuPlanSaveAs", "Save &As", QKeySequence(QStringLiteral("Ctrl+Shift+S"))), &QAction::triggered, this, &Tfrm_main::saveAs);
    connect(entry(file, "mnuExportCsv", "&Export To CSV…"), &QAction::triggered, this, &Tfrm_main::exportToCsv);
    connect(entry(file, "mnuRestoreBackup", "Restore From &Backup…"), &QAction::triggered, this,
            &Tfrm_main::restoreFromBackup);
    file->addSection(QStringLiteral("Close Plan"));
    connect(entry(file, "mnuPlanClose", "&Close", QKeySequence(QStringLiteral("Ctrl+W"))), &QAction::triggered, this,
            [this] { forwardToPlan("obcloseplan"); });
    connect(entry(file, "mnuPlanCloseAll", "Close A&ll"), &QAction::triggered, this, &Tfrm_main::closeAll);
    file->addSection(QStringLiteral("Print Plan"));
    connect(entry(file, "mnuPrint", "&Print", QKeySequence(QStringLiteral("Ctrl+P"))), &QAction::triggered, this,
            [this] { printPlan(false); });
    connect(entry(file, "mnuPrintPreview", "Print Pre&view"), &QAction::triggered, this,
            [this] { printPlan(true); });
    connect(entry(file, "PrinterSetup1", "Printer Se&tup"), &QAction::triggered, this, &Tfrm_main::printerSetup);
    file->addSection(QStringLiteral("Program"));
    connect(entry(file, "mnuExit", "E&XIT", QKeySequence(QStringLiteral("Ctrl+Q"))), &QAction::triggered, this,
            [this] { barButton("sbtn_exit")->click(); });

    QMenu *edit = menu("mnuEdit", "&Edit");
    // "Undo Delete Item "Rent"": the entries name the step they undo or redo.
    QAction *undo = m_undoGroup->createUndoAction(edit, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = m_undoGroup->createRedoAction(edit, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSection(QStringLiteral("Item"));
    connect(entry(edit, "mnuNewItem", "&New"), &QAction::triggered, this, [this] { forwardToPlan("obnewitem"); });
    connect(entry(edit, "mnuEditItem", "&Edit"), &QAction::triggered, this, [this] { forwardToPlan("obedititem"); });
    connect(entry(edit, "mnuDeleteItem", "&Delete"), &QAction::triggered, this,
            [this] { forwardToPlan("obdeleteitem"); });
    connect(entry(edit, "mnuClearAll", "&Clear All"), &QAction::triggered, this,
            [this] { forwardToPlan("obclearall"); });
    connect(entry(edit, "mnuAddReminder", "Add Re&minder"), &QAction::triggered, this,
            [this] { forwardToPlan("lmssbtn_addremind"); });
    edit->addSection(QStringLiteral("Categories"));
    connect(entry(edit, "mnuEditCategories", "Add/Edit Ca&tegories"), &QAction::triggered, this,
            [this] { forwardToPlan("obeditcat"); });

    buildViewMenu(menu("mnuView", "&View"));

    QMenu *options = menu("Options1", "&Options");
    options->addSection(QStringLiteral("Hints"));
    QAction *startup = entry(options, "mnushowstartup", "&Show Hints On Startup");
    startup->setCheckable(true);
    connect(startup, &QAction::triggered, this, &Tfrm_main::mnushowstartupClick);
    QAction *hints = entry(options, "mnushowhints", "&Enable OnScreen Hints");
    hints->setCheckable(true);
    connect(hints, &QAction::triggered, this, &Tfrm_main::mnushowhintsClick);
    options->addSection(QStringLiteral("Tools"));
    connect(entry(options, "Calculator1", "&Calculator"), &QAction::triggered, this,
            [this] { barButton("sbtn_calc")->click(); });
    connect(entry(options, "LoanCalculator1", "&Loan Calculator"), &QAction::triggered, this,
            [this] { barButton("LMDSB_loancalc")->click(); });
    connect(entry(options, "Internet1", "&Internet"), &QAction::triggered, this,
            [this] { barButton("sbtn_mylinks")->click(); });

    m_windowsMenu = menu("Windows1", "&Windows");
    m_windowsMenu->addSection(QStringLiteral("Tile"));
    connect(entry(m_windowsMenu, "Horizontal1", "&Horizontal", QKeySequence(QStringLiteral("Ctrl+H"))),
            &QAction::triggered, this, &Tfrm_main::tileHorizontally);
    connect(entry(m_windowsMenu, "Vertical1", "&Vertical", QKeySequence(QStringLiteral("Ctrl+T"))),
            &QAction::triggered, this, &Tfrm_main::tileVertically);
    connect(entry(m_windowsMenu, "Cascade1", "&Cascade", QKeySequence(QStringLiteral("Ctrl+D"))),
            &QAction::triggered, this, &Tfrm_main::cascade);
    m_windowsMenu->addSection(QStringLiteral("Windows"));
    connect(m_windowsMenu, &QMenu::aboutToShow, this, &Tfrm_main::updateWindowMenu);

    QMenu *help = menu("Help1", "&Help");
    help->addSection(QStringLiteral("Help"));
    connect(entry(help, "Content1", "&Contents"), &QAction::triggered, this,
            [this] { openHelp(QStringLiteral("hlp_Contents_index_main.html")); });
    connect(entry(help, "About1", "&About"), &QAction::triggered, this, &Tfrm_main::showAbout);
    connect(entry(help, "mnuOpenSamplePlan", "Open &Sample Plan"), &QAction::triggered, this,
            &Tfrm_main::openSamplePlan);
    help->addSection(QStringLiteral("How To"));
    connect(entry(help, "ReportABug1", "&Report A Bug"), &QAction::triggered, this, &Tfrm_main::reportABug);

    // Small pictures from the desktop's icon theme, the style's own where the
    // theme has none.
    struct MenuPicture
    {
        const char *action;
        const char *theme;
        QStyle::StandardPixmap fallback;
    };
    static const MenuPicture pictures[] = {
        {"mnuNewPlan", "document-new", QStyle::SP_FileIcon},
        {"mnuOpenPlan", "document-open", QStyle::SP_DialogOpenButton},
        {"mnuRecentPlansMenu", "document-open-recent", QStyle::SP_DirOpenIcon},
        {"mnuImportCsv", "document-import", QStyle::SP_ArrowDown},
        {"mnuExportCsv", "document-export", QStyle::SP_ArrowUp},
        {"mnuRestoreBackup", "document-revert", QStyle::SP_BrowserReload},
        {"mnuSavePlan", "document-save", QStyle::SP_DialogSaveButton},
        {"mnuPlanSaveAs", "document-save-as", QStyle::SP_DialogSaveButton},
        {"mnuPlanClose", "window-close", QStyle::SP_DialogCloseButton},
        {"mnuPlanCloseAll", "window-close", QStyle::SP_DialogCloseButton},
        {"mnuPrint", "document-print", QStyle::SP_FileDialogDetailedView},
        {"mnuPrintPreview", "document-print-preview", QStyle::SP_FileDialogContentsView},
        {"PrinterSetup1", "document-properties", QStyle::SP_FileDialogInfoView},
        {"mnuExit", "application-exit", QStyle::SP_DialogCancelButton},
        {"mnuUndo", "edit-undo", QStyle::SP_ArrowBack},
        {"mnuRedo", "edit-redo", QStyle::SP_ArrowForward},
        {"mnuNewItem", "list-add", QStyle::SP_FileIcon},
        {"mnuEditItem", "document-edit", QStyle::SP_FileDialogDetailedView},
        {"mnuDeleteItem", "edit-delete", QStyle::SP_TrashIcon},
        {"mnuClearAll", "edit-clear", QStyle::SP_DialogResetButton},
        {"mnuAddReminder", "appointment-new", QStyle::SP_MessageBoxInformation},
        {"mnuEditCategories", "folder", QStyle::SP_DirIcon},
        {"mnuPageItems", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageSavings", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageLoans", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageReminders", "view-calendar", QStyle::SP_FileDialogInfoView},
        {"mnuPageCharts", "view-statistics", QStyle::SP_FileDialogContentsView},
        {"mnuFrequencyMenu", "view-calendar", QStyle::SP_BrowserReload},
        {"mnuOpenSamplePlan", "document-open", QStyle::SP_DialogOpenButton},
        {"Calculator1", "accessories-calculator", QStyle::SP_ComputerIcon},
        {"LoanCalculator1", "accessories-calculator", QStyle::SP_MessageBoxInformation},
        {"Internet1", "internet-web-browser", QStyle::SP_DriveNetIcon},
        {"Horizontal1", "view-split-top-bottom", QStyle::SP_TitleBarShadeButton},
        {"Vertical1", "view-split-left-right", QStyle::SP_TitleBarUnshadeButton},
        {"Cascade1", "window-new", QStyle::SP_TitleBarNormalButton},
        {"Content1", "help-contents", QStyle::SP_DialogHelpButton},
        {"About1", "help-about", QStyle::SP_MessageBoxInformation},
        {"ReportABug1", "mail-send", QStyle::SP_MessageBoxWarning},
    };
    for (const MenuPicture &p : pictures)
        action(QLatin1String(p.action))
            ->setIcon(QIcon::fromTheme(QLatin1String(p.theme), style()->standardIcon(p.fallback)));

}

// View: the active plan's five pages (Ctrl+1 to Ctrl+5) and its display
// frequency, what the page tabs and the frequency bar do by mouse.
void Tfrm_main::buildViewMenu(QMenu *view)
{
    static const char *const pages[][2] = {{"mnuPageItems", "Budget &Items"},
                                           {"mnuPageSavings", "&Savings Items"},
                                           {"mnuPageLoans", "&Loans"},
                                           {"mnuPageReminders", "&Reminders"},
                                           {"mnuPageCharts", "C&harts"}};
    view->addSection(QStringLiteral("Pages"));
    for (int i = 0; i < 5; ++i) {
        QAction *a = view->addAction(QString::fromUtf8(pages[i][1]));
        a->setObjectName(QLatin1String(pages[i][0]));
        a->setShortcut(QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)));
        connect(a, &QAction::triggered, this, [this, i] {
            if (Tfrm_budget *plan = activePlanWindow())
                plan->pages()->setCurrentIndex(i);
        });
        m_planActions << a;
    }
    view->addSection(QStringLiteral("Frequency"));
    QMenu *frequencies = view->addMenu(QStringLiteral("Display &Frequency"));
    frequencies->setObjectName(QStringLiteral("mnuFrequency"));
    frequencies->menuAction()->setObjectName(QStringLiteral("mnuFrequencyMenu"));
    auto *group = new QActionGroup(frequencies);
    const QStringList names = Frequency::names();
    for (int i = 0; i < names.size(); ++i) {
        QAction *a = frequencies->addAction(QLatin1Char('&') + names.at(i));
        a->setObjectName(QStringLiteral("mnuFrequency%1").arg(i));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            if (Tfrm_budget *plan = activePlanWindow())
                plan->setDisplayFrequency(i);
        });
    }
    // The mark follows the plan's frequency however it was chosen.
    connect(frequencies, &QMenu::aboutToShow, this, [this, frequencies] {
        const Tfrm_budget *plan = activePlanWindow();
        const QList<QAction *> entries = frequencies->actions();
        for (int i = 0; i < entries.size(); ++i)
            entries.at(i)->setChecked(plan && plan->displayFrequency() == i);
    });
    m_planActions << frequencies->menuAction();
}

QAction *Tfrm_main::action(const QString &objectName) const
{
    return menuBar()->findChild<QAction *>(objectName);
}

QToolButton *Tfrm_main::barButton(const QString &objectName) const
{
    return m_buttonBar->findChild<QToolButton *>(objectName);
}

// --- windows ------------------------------------------------------------------------

int Tfrm_main::documentWindowCount() const
{
    return static_cast<int>(m_mdi->subWindowList().size());
}

Tfrm_budget *Tfrm_main::activePlanWindow() const
{
    QMdiSubWindow *sub = m_mdi->activeSubWindow();
    return sub ? qobject_cast<Tfrm_budget *>(sub->widget()) : nullptr;
}

QList<Tfrm_budget *> Tfrm_main::planWindows() const
{
    QList<Tfrm_budget *> out;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (auto *w = qobject_cast<Tfrm_budget *>(sub->widget()))
            out << w;
    return out;
}

Tfrm_budget *Tfrm_main::createPlanWindow()
{
    auto *window = new Tfrm_budget(this);
    m_undoGroup->addStack(window->history());
    QMdiSubWindow *sub = addDocumentWindow(window);
    sub->showMaximized();
    return window;
}

// One calculator at a time. It takes the active plan's totals at "Monthly"
// (the plan is switched there and back, so it shows what it showed); with no
// plan open it starts from zero figures.
void Tfrm_main::openLoanCalculator()
{
    // One calculator at a time: asked for again, it comes forward.
    if (m_calculatorOpen) {
        for (QMdiSubWindow *sub : m_mdi->subWindowList())
            if (sub->widget() == loanCalculator()) {
                if (sub->isMinimized())
                    sub->showNormal();
                m_mdi->setActiveSubWindow(sub);
            }
        return;
    }
    Tfrm_loan_calc::MonthlyFigures figures;
    if (Tfrm_budget *plan = activePlanWindow()) {
        const int was = plan->displayFrequency();
        plan->setDisplayFrequency(3);
        const PlanTotals &totals = plan->totals();
        figures = {totals.balance, totals.expense, totals.income, totals.savings, totals.loans};
        plan->setDisplayFrequency(was);
    }
    m_calculatorOpen = true;
    auto *calculator = new Tfrm_loan_calc(figures, m_printer.get());
    hideMainButtons();
    QMdiSubWindow *sub = addDocumentWindow(calculator, QSize(1032, 740));
    connect(calculator, &Tfrm_loan_calc::closed, this, [this] {
        m_calculatorOpen = false;
        showMainButtons();
    });
    // Its File menu takes the place of the main window's while it is active
    // (updateMenus), where Alt+F and the keys reach it.
    calculator->menuBar()->hide();
    menuBar()->insertMenu(menuBar()->actions().constFirst(), calculator->fileMenu());
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

// The button bar gives its room to the document area at once, so that the
// window about to open is sized for the area it will have.
void Tfrm_main::hideMainButtons()
{
    m_buttonBar->hide();
    centralWidget()->layout()->activate();
}

// The button bar stays hidden while a calculator or a browser is open.
void Tfrm_main::showMainButtons()
{
    if (!m_calculatorOpen && !m_browserOpen)
        m_buttonBar->show();
}

void Tfrm_main::openBrowser(const QUrl &start)
{
    if (m_browserOpen)
        return;
    m_browserOpen = true;
    auto *window = new Tfrm_browser(m_resourceFolder, m_programFolder, start);
    hideMainButtons();
    QMdiSubWindow *sub = addDocumentWindow(window, QSize(1008, 719));
    menuBar()->addMenu(window->fileMenu())->setVisible(false);
    connect(window, &Tfrm_browser::closed, this, [this] {
        m_browserOpen = false;
        showMainButtons();
    });
    sub->showMaximized();
    m_mdi->setActiveSubWindow(sub);
    updateMenus();
}

// A page of the help folder; a missing page opens the browser all the same.
void Tfrm_main::openHelp(const QString &page)
{
    if (m_browserOpen)
        return;
    openBrowser(QUrl::fromLocalFile(QDir(m_resourceFolder).filePath(QStringLiteral("help/") + page)));
}

Tfrm_browser *Tfrm_main::browser() const
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        if (auto *window = qobject_cast<Tfrm_browser *>(sub->widget()))
            return window;
    return nullptr;
}

// F1 on a button of the button bar opens its help page.
void Tfrm_main::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        static const QHash<QString, QString> pages = {
            {QStringLiteral("sbtn_openplan"), QStringLiteral("hlp_openplan.html")},
            {QStringLiteral("sb_new_plan"), QStringLiteral("hlp_newplan.html")},
            {QStringLiteral("sbtn_mylinks"), QStringLiteral("hlp_internet.html")},
            {QStringLiteral("LMDSB_loancalc"), QStringLiteral("hlp_loanscalc_scenario.html")},
            {QStringLiteral("sbtn_calc"), QStringLiteral("hlp_calculator.html")},
        };
        QWidget *focus = QApplication::focusWidget();
        if (focus && focus->parentWidget() == m_buttonBar && pages.contains(focus->objectName())) {
            openHelp(pages.value(focus->objectName()));
            event->accept();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

Tfrm_loan_calc *Tfrm_main::loanCalculator() const
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        if (auto *calculator = qobject_cast<Tfrm_loan_calc *>(sub->widget()))
            return calculator;
    return nullptr;
}

void Tfrm_main::subWindowActivated(QMdiSubWindow *window)
{
    if (window) {
        if (auto *plan = qobject_cast<Tfrm_budget *>(window->widget()))
            plan->activate();
        else if (auto *web = qobject_cast<Tfrm_browser *>(window->widget()))
            web->activate();
    }
    updateMenus();
}

void Tfrm_main::updateMenus()
{
    // While the browser is the active document window its own File menu
    // stands in place of the main window's menus.
    // The loan calculator's File menu stands in place of the main window's
    // File menu while it is the active window.
    Tfrm_browser *web = browser();
    QWidget *active = m_mdi->activeSubWindow() ? m_mdi->activeSubWindow()->widget() : nullptr;
    const bool browsing = web && active == web;
    Tfrm_loan_calc *calculator = loanCalculator();
    const bool calculating = calculator && active == calculator;
    const QAction *calculatorMenu = calculator ? calculator->fileMenu()->menuAction() : nullptr;
    const QAction *mainFile = menuBar()->findChild<QMenu *>(QStringLiteral("mnuFile"))->menuAction();
    for (QAction *menu : menuBar()->actions()) {
        if (web && menu == web->fileMenu()->menuAction())
            menu->setVisible(browsing);
        else if (menu == calculatorMenu)
            menu->setVisible(calculating && !browsing);
        else
            menu->setVisible(!browsing && !(calculating && menu == mainFile));
    }
    const bool hasPlan = activePlanWindow() != nullptr;
    m_undoGroup->setActiveStack(hasPlan ? activePlanWindow()->history() : nullptr);
    for (const char *name : {"mnuSavePlan", "mnuPlanSaveAs", "mnuExportCsv", "mnuRestoreBackup", "mnuPlanClose",
                             "mnuNewItem", "mnuEditItem", "mnuDeleteItem", "mnuClearAll", "mnuAddReminder",
                             "mnuEditCategories", "mnuPrint", "mnuPrintPreview"})
        action(QLatin1String(name))->setEnabled(hasPlan);
    for (QAction *a : std::as_const(m_planActions))
        a->setEnabled(hasPlan);
    nameAlikePlans();
    const bool hasWindows = documentWindowCount() > 0;
    for (const char *name : {"mnuPlanCloseAll", "Horizontal1", "Vertical1", "Cascade1"})
        action(QLatin1String(name))->setEnabled(hasWindows);
}

void Tfrm_main::updateWindowMenu()
{
    qDeleteAll(m_windowActions);
    m_windowActions.clear();
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *sub = windows.at(i);
        QAction *a = m_windowsMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] {
            if (sub->isMinimized())
                sub->showNormal();
            m_mdi->setActiveSubWindow(sub);
        });
        m_windowActions << a;
    }
}

void Tfrm_main::forwardToPlan(const char *buttonName)
{
    if (Tfrm_budget *plan = activePlanWindow())
        if (QToolButton *b = plan->toolButton(QLatin1String(buttonName)); b && b->isEnabled())
            b->click();
}

void Tfrm_main::saveAs()
{
    Tfrm_budget *plan = activePlanWindow();
    if (!plan)
        return;
    plan->setSaved(false);
    plan->setSaved(plan->savePlan());
}

void Tfrm_main::showAbout()
{
    TAboutBox::showAbout(this);
}

void Tfrm_main::showCalculator()
{
    RxCalc calculator(this);
    ModalRunner::exec(&calculator);
}

void Tfrm_main::printerSetup()
{
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setObjectName(QStringLiteral("PSD"));
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // Setting up prints nothing: the dialog confirms the choice with OK.
    for (QDialogButtonBox *buttons : dialog.findChildren<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    ModalRunner::exec(&dialog);
}

// The printed plan of the active plan window, on the program's printer or in
// the preview.
void Tfrm_main::printPlan(bool preview)
{
    Tfrm_budget *window = activePlanWindow();
    if (!window)
        return;
    const PlanReport report(planReportInput(*window, m_programFolder));
    const ReportLayout layout = report.layout();
    if (preview)
        ReportOutput::preview(this, m_printer.get(), layout);
    else
        ReportOutput::print(this, m_printer.get(), layout);
}

namespace {
const QString kBugAddress = QStringLiteral("support@kavopursekeep.example");
const QString kBugSubject = QStringLiteral("Report A Bug - Kavo Pursekeep Version 3");
} // namespace

QString Tfrm_main::bugReportUrl()
{
    QUrl url(QStringLiteral("mailto:") + kBugAddress);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("Subject"), kBugSubject);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

void Tfrm_main::reportABug()
{
    // The desktop's mail program opens a new message; nothing waits for it.
    // Where none takes the link, the address and the subject are shown, each
    // on a line of its own, to be written to by hand.
    if (QDesktopServices::openUrl(QUrl(bugReportUrl(), QUrl::StrictMode)))
        return;
    MessageBox::information(this, QStringLiteral("No mail program answered. To report a bug, write to\n\n%1\n\n"
                                                 "with the subject\n\n%2")
                                      .arg(kBugAddress, kBugSubject));
}

// --- plan files ------------------------------------------------------------------------

bool Tfrm_main::openPlan()
{
    FileDialog::Request request;
    request.title = QStringLiteral("Open");
    request.directory = activePlanFolder();
    request.defaultSuffix = QStringLiteral("pkb");
    request.filter = kPlanFilter;
    const std::optional<QString> chosen = FileDialog::getOpenFileName(this, request);
    if (!chosen)
        return false;
    openPlanFile(*chosen);
    return true;
}

// The open routine after the dialog: true when a window shows the plan.
bool Tfrm_main::openPlanFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();

    // A plan is open only once: the same file, by whatever spelling of its
    // path, brings its window forward. Plans of the same name in other
    // folders are other plans.
    if (Tfrm_budget *open = planWindowOf(path)) {
        auto *sub = qobject_cast<QMdiSubWindow *>(open->parentWidget());
        sub->showMaximized();
        m_mdi->setActiveSubWindow(sub);
        return true;
    }

    // A plan open in another copy of the program is opened here only when
    // the person says so (and then without its lock).
    auto lock = std::make_unique<PlanLock>(path, PlanLock::Kind::Open);
    if (lock->tryLock() == PlanLock::Result::HeldElsewhere) {
        const QString text = QStringLiteral("\"%1\" is open in another copy of the program (%2).\nChanges saved in "
                                            "one copy replace the plan of the other. Open it anyway?")
                                 .arg(QDir::toNativeSeparators(path), lock->holder());
        if (MessageBox::warningYesNo(this, text) != MessageBox::Answer::Yes)
            return false;
        lock.reset();
    }

    Tfrm_budget *window = createPlanWindow();
    window->setDisplayFrequency(2);
    window->setPlanfile(path);
    window->setWindowTitle(name);
    PlanFiles::Opened opened;
    try {
        opened = PlanFiles::loadPlan(window->plan(), path);
    } catch (const PlanFileError &e) {
        // Nothing of a damaged plan is shown; its files stay as they are.
        MessageBox::error(this, e.message());
        discardPlanWindow(window);
        return false;
    }
    window->setDiskState(opened.state);
    if (lock && lock->isLocked())
        window->setOpenLock(std::move(lock));
    presentPlan(window);
    rememberPlan(path);
    window->showDueReminders();

    // A plan without its settings file shows at Fortnightly; a settings file
    // that holds something else is reported.
    const QString settings = PlanFiles::settingsFile(path);
    const QString text = QFileInfo(settings).isFile() ? PlanFiles::readDisplayFrequencyText(settings)
                                                      : QString::number(2);
    bool shown = true;
    try {
        window->setDisplayFrequency(PlanFiles::displayFrequencyFromText(text));
    } catch (const PlanFileError &e) {
        MessageBox::error(this, e.message());
        shown = false;
    }
    if (shown) {
        window->cb_item_total_freqChange();
        window->show();
    }
    if (!opened.missing.isEmpty() && opened.missing.size() < 5)
        MessageBox::warning(this, QStringLiteral("\"%1\" lacks files of the plan, so what they hold is not shown:\n%2")
                                      .arg(name, opened.missing.join(u'\n')));
    return true;
}

// A plan window whose tables could not be read goes again, unseen and unasked.
void Tfrm_main::discardPlanWindow(Tfrm_budget *window)
{
    window->plan().setSaved(true);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        delete sub;
    updateMenus();
}

// A plan window after its tables were filled: totals, the income page.
void Tfrm_main::presentPlan(Tfrm_budget *window)
{
    window->updateall();
    window->setPagekind(PageKind::Income);
    window->plan().items().setFilter(kindFilter(Kind::Income));
    window->plan().items().setFiltered(true);
    window->rebuildCategoryTrees();
}

void Tfrm_main::newPlan()
{
    m_pendingPlanName.clear();
    Tfrm_newplan dialog(this);
    ModalRunner::exec(&dialog);
    m_pendingPlanName = dialog.planName();
    if (m_pendingPlanName.isEmpty())
        return;
    Tfrm_budget *window = createPlanWindow();
    window->setPlanfile(m_pendingPlanName + QStringLiteral(".PKB"));
    window->setWindowTitle(m_pendingPlanName + QStringLiteral(".PKB"));
}

void Tfrm_main::startupPlan()
{
    Tfrm_budget *window = createPlanWindow();
    window->setPlanfile(QDir(m_programFolder).filePath(QStringLiteral("Untitled1")));
    window->setWindowTitle(QStringLiteral("Untitled1"));
    window->show();
    window->rebuildCategoryTrees();
}

// --- start and exit ----------------------------------------------------------------

void Tfrm_main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShown) {
        m_firstShown = true;
        // Plans named on the command line open in their order, the last one
        // active; when none of them opens, the start-up plan does.
        // Work a program that died could not save comes first.
        bool opened = offerRecovery();
        for (const QString &file : std::as_const(m_plansToOpen))
            opened = openPlanFile(QFileInfo(file).absoluteFilePath()) || opened;
        if (!opened)
            startupPlan();
    }
    if (m_hintPanel->isVisible())
        placeHintPanel();
}

void Tfrm_main::closeAll()
{
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow *sub = *it;
        if (!sub->close()) {
            sub->showMaximized();
            m_mdi->setActiveSubWindow(sub);
            return;
        }
    }
}

void Tfrm_main::closeEvent(QCloseEvent *event)
{
    m_closeApproval = true;
    m_closingAll = true;
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow *sub = *it;
        if (qobject_cast<Tfrm_budget *>(sub->widget())) {
            sub->close(); // the plan window answers through setCloseApproval
            if (!m_closeApproval) {
                sub->showMaximized();
                m_mdi->setActiveSubWindow(sub);
                break;
            }
            sub->showMinimized();
        } else {
            sub->close();
        }
    }
    if (!m_closeApproval) {
        m_closingAll = false;
        event->ignore();
        return;
    }
    Format::setShortDateFormat(m_systemDateFormat);
    event->accept();
}
