// The main window's menus: one function a menu, each entry a typed action
// the window keeps, and their state following the active document window
// (updateMenus).
#include "frm_main.h"
#include "PlanDocuments.h"

#include "auxwindows/BrowserWindow.h"
#include "loanwindow/frm_loan_calc.h"
#include "plan/Frequency.h"
#include "planwindow/frm_budget.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>

void Tfrm_main::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("BcBarMainMnu"));
    buildFileMenu();
    buildEditMenu();
    buildViewMenu();
    buildOptionsMenu();
    buildWindowsMenu();
    buildHelpMenu();
    m_planActs = {m_saveAct,           m_saveAsAct,   m_exportCsvAct,   m_restoreBackupAct, m_closeAct,
                  m_newItemAct,        m_editItemAct, m_deleteItemAct,  m_clearAllAct,      m_addReminderAct,
                  m_editCategoriesAct, m_printAct,    m_printPreviewAct};
    m_planActs << m_pageActs << m_frequencyMenu->menuAction();
    m_documentActs = {m_closeAllAct, m_tileHorizontallyAct, m_tileVerticallyAct, m_cascadeAct};
}

QMenu *Tfrm_main::addMenu(const char *name, const char *caption)
{
    QMenu *menu = menuBar()->addMenu(QLatin1String(caption));
    menu->setObjectName(QLatin1String(name));
    menu->setSeparatorsCollapsible(false);
    return menu;
}

QAction *Tfrm_main::addEntry(QMenu *menu, const Entry &entry, const QKeySequence &keys)
{
    QAction *a = menu->addAction(QString::fromUtf8(entry.caption));
    a->setObjectName(QLatin1String(entry.name));
    if (!keys.isEmpty())
        a->setShortcut(keys);
    if (entry.theme)
        a->setIcon(QIcon::fromTheme(QLatin1String(entry.theme), style()->standardIcon(entry.fallback)));
    return a;
}

namespace {
QKeySequence keys(const char *text)
{
    return QKeySequence(QLatin1String(text));
}
} // namespace

// --- File -----------------------------------------------------------------------------

void Tfrm_main::buildFileMenu()
{
    QMenu *file = m_fileMenu = addMenu("mnuFile", "&File");
    file->addSection(QStringLiteral("Load Plan"));
    m_newPlanAct = addEntry(file, {"mnuNewPlan", "&New", "document-new", QStyle::SP_FileIcon}, keys("Ctrl+N"));
    m_openPlanAct =
        addEntry(file, {"mnuOpenPlan", "&Open", "document-open", QStyle::SP_DialogOpenButton}, keys("Ctrl+O"));
    m_recentMenu = file->addMenu(QStringLiteral("&Recent Plans"));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecentPlans"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("mnuRecentPlansMenu"));
    m_recentMenu->menuAction()->setIcon(
        QIcon::fromTheme(QStringLiteral("document-open-recent"), style()->standardIcon(QStyle::SP_DirOpenIcon)));
    m_importCsvAct = addEntry(file, {"mnuImportCsv", "&Import From CSV…", "document-import", QStyle::SP_ArrowDown});
    file->addSection(QStringLiteral("Save Plan"));
    m_saveAct = addEntry(file, {"mnuSavePlan", "&Save", "document-save", QStyle::SP_DialogSaveButton}, keys("Ctrl+S"));
    m_saveAsAct = addEntry(file, {"mnuPlanSaveAs", "Save &As", "document-save-as", QStyle::SP_DialogSaveButton},
                           keys("Ctrl+Shift+S"));
    m_exportCsvAct = addEntry(file, {"mnuExportCsv", "&Export To CSV…", "document-export", QStyle::SP_ArrowUp});
    m_restoreBackupAct =
        addEntry(file, {"mnuRestoreBackup", "Restore From &Backup…", "document-revert", QStyle::SP_BrowserReload});
    buildFileMenuEnd(file);
    connectFileMenu();
}

// Close Plan, Print Plan and Program.
void Tfrm_main::buildFileMenuEnd(QMenu *file)
{
    file->addSection(QStringLiteral("Close Plan"));
    m_closeAct =
        addEntry(file, {"mnuPlanClose", "&Close", "window-close", QStyle::SP_DialogCloseButton}, keys("Ctrl+W"));
    m_closeAllAct = addEntry(file, {"mnuPlanCloseAll", "Close A&ll", "window-close", QStyle::SP_DialogCloseButton});
    file->addSection(QStringLiteral("Print Plan"));
    m_printAct =
        addEntry(file, {"mnuPrint", "&Print", "document-print", QStyle::SP_FileDialogDetailedView}, keys("Ctrl+P"));
    m_printPreviewAct = addEntry(
        file, {"mnuPrintPreview", "Print Pre&view", "document-print-preview", QStyle::SP_FileDialogContentsView});
    m_printerSetupAct =
        addEntry(file, {"PrinterSetup1", "Printer Se&tup", "document-properties", QStyle::SP_FileDialogInfoView});
    file->addSection(QStringLiteral("Program"));
    m_exitAct = addEntry(file, {"mnuExit", "E&XIT", "application-exit", QStyle::SP_DialogCancelButton}, keys("Ctrl+Q"));
}

// The entries with a button run it by clicking it; Save and Close click the
// active plan window's.
void Tfrm_main::connectFileMenu()
{
    PlanDocuments *documents = m_documents.get();
    connect(m_newPlanAct, &QAction::triggered, m_newPlanButton, &QToolButton::click);
    connect(m_openPlanAct, &QAction::triggered, m_openPlanButton, &QToolButton::click);
    documents->setRecentPlansMenu(m_recentMenu);
    connect(m_importCsvAct, &QAction::triggered, documents, &PlanDocuments::importFromCsv);
    connect(m_saveAct, &QAction::triggered, this, [this] { forwardToPlan("LMDSbtn_save_plan"); });
    connect(m_saveAsAct, &QAction::triggered, documents, &PlanDocuments::saveAs);
    connect(m_exportCsvAct, &QAction::triggered, documents, &PlanDocuments::exportToCsv);
    connect(m_restoreBackupAct, &QAction::triggered, documents, &PlanDocuments::restoreFromBackup);
    connect(m_closeAct, &QAction::triggered, this, [this] { forwardToPlan("obcloseplan"); });
    connect(m_closeAllAct, &QAction::triggered, documents, &PlanDocuments::closeAll);
    connect(m_printAct, &QAction::triggered, this, [this] { printPlan(false); });
    connect(m_printPreviewAct, &QAction::triggered, this, [this] { printPlan(true); });
    connect(m_printerSetupAct, &QAction::triggered, this, &Tfrm_main::printerSetup);
    connect(m_exitAct, &QAction::triggered, m_exitButton, &QToolButton::click);
}

// --- Edit -----------------------------------------------------------------------------

// Every entry but Undo and Redo clicks the active plan window's toolbar button.
void Tfrm_main::buildEditMenu()
{
    QMenu *edit = addMenu("mnuEdit", "&Edit");
    // "Undo Delete Item "Rent"": the entries name the step they undo or redo.
    m_undoAct = m_undoGroup->createUndoAction(edit, QStringLiteral("&Undo"));
    m_undoAct->setObjectName(QStringLiteral("mnuUndo"));
    m_undoAct->setShortcut(QKeySequence::Undo);
    m_undoAct->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo"), style()->standardIcon(QStyle::SP_ArrowBack)));
    m_redoAct = m_undoGroup->createRedoAction(edit, QStringLiteral("&Redo"));
    m_redoAct->setObjectName(QStringLiteral("mnuRedo"));
    m_redoAct->setShortcuts({keys("Ctrl+Shift+Z"), keys("Ctrl+Y")});
    m_redoAct->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"), style()->standardIcon(QStyle::SP_ArrowForward)));
    edit->addAction(m_undoAct);
    edit->addAction(m_redoAct);
    edit->addSection(QStringLiteral("Item"));
    m_newItemAct = addEntry(edit, {"mnuNewItem", "&New", "list-add", QStyle::SP_FileIcon});
    m_editItemAct = addEntry(edit, {"mnuEditItem", "&Edit", "document-edit", QStyle::SP_FileDialogDetailedView});
    m_deleteItemAct = addEntry(edit, {"mnuDeleteItem", "&Delete", "edit-delete", QStyle::SP_TrashIcon});
    m_clearAllAct = addEntry(edit, {"mnuClearAll", "&Clear All", "edit-clear", QStyle::SP_DialogResetButton});
    m_addReminderAct =
        addEntry(edit, {"mnuAddReminder", "Add Re&minder", "appointment-new", QStyle::SP_MessageBoxInformation});
    edit->addSection(QStringLiteral("Categories"));
    m_editCategoriesAct = addEntry(edit, {"mnuEditCategories", "Add/Edit Ca&tegories", "folder", QStyle::SP_DirIcon});
    const std::pair<QAction *, const char *> forwarded[] = {
        {m_newItemAct, "obnewitem"},   {m_editItemAct, "obedititem"},           {m_deleteItemAct, "obdeleteitem"},
        {m_clearAllAct, "obclearall"}, {m_addReminderAct, "lmssbtn_addremind"}, {m_editCategoriesAct, "obeditcat"}};
    for (const auto &[entry, button] : forwarded)
        connect(entry, &QAction::triggered, this, [this, button] { forwardToPlan(button); });
}

// --- View -----------------------------------------------------------------------------

// The active plan's five pages (Ctrl+1 to Ctrl+5) and its display frequency,
// what the page tabs and the frequency bar do by mouse.
void Tfrm_main::buildViewMenu()
{
    static const Entry pages[] = {
        {"mnuPageItems", "Budget &Items", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageSavings", "&Savings Items", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageLoans", "&Loans", "view-list-details", QStyle::SP_FileDialogDetailedView},
        {"mnuPageReminders", "&Reminders", "view-calendar", QStyle::SP_FileDialogInfoView},
        {"mnuPageCharts", "C&harts", "view-statistics", QStyle::SP_FileDialogContentsView}};
    QMenu *view = addMenu("mnuView", "&View");
    view->addSection(QStringLiteral("Pages"));
    for (int i = 0; i < 5; ++i) {
        QAction *a = addEntry(view, pages[i], QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)));
        connect(a, &QAction::triggered, this, [this, i] {
            if (Tfrm_budget *plan = activePlanWindow())
                plan->pages()->setCurrentIndex(i);
        });
        m_pageActs << a;
    }
    view->addSection(QStringLiteral("Frequency"));
    buildFrequencyMenu(view);
}

void Tfrm_main::buildFrequencyMenu(QMenu *view)
{
    m_frequencyMenu = view->addMenu(QStringLiteral("Display &Frequency"));
    m_frequencyMenu->setObjectName(QStringLiteral("mnuFrequency"));
    m_frequencyMenu->menuAction()->setObjectName(QStringLiteral("mnuFrequencyMenu"));
    m_frequencyMenu->menuAction()->setIcon(
        QIcon::fromTheme(QStringLiteral("view-calendar"), style()->standardIcon(QStyle::SP_BrowserReload)));
    auto *group = new QActionGroup(m_frequencyMenu);
    const QStringList names = Frequency::names();
    for (int i = 0; i < names.size(); ++i) {
        QAction *a = m_frequencyMenu->addAction(QLatin1Char('&') + names.at(i));
        a->setObjectName(QStringLiteral("mnuFrequency%1").arg(i));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            if (Tfrm_budget *plan = activePlanWindow())
                plan->setDisplayFrequency(i);
        });
    }
    // The mark follows the plan's frequency however it was chosen.
    connect(m_frequencyMenu, &QMenu::aboutToShow, this, [this] {
        const Tfrm_budget *plan = activePlanWindow();
        const QList<QAction *> entries = m_frequencyMenu->actions();
        for (int i = 0; i < entries.size(); ++i)
            entries.at(i)->setChecked(plan && plan->displayFrequency() == i);
    });
}

// --- Options, Windows, Help -------------------------------------------------------------

// The two hint entries are the hints panel's; they show the check mark while on.
void Tfrm_main::buildOptionsMenu()
{
    QMenu *options = addMenu("Options1", "&Options");
    options->addSection(QStringLiteral("Hints"));
    m_showStartupAct = addEntry(options, {"mnushowstartup", "&Show Hints On Startup", nullptr, {}});
    m_showStartupAct->setCheckable(true);
    m_showHintsAct = addEntry(options, {"mnushowhints", "&Enable OnScreen Hints", nullptr, {}});
    m_showHintsAct->setCheckable(true);
    options->addSection(QStringLiteral("Tools"));
    m_calculatorAct =
        addEntry(options, {"Calculator1", "&Calculator", "accessories-calculator", QStyle::SP_ComputerIcon});
    m_loanCalculatorAct = addEntry(
        options, {"LoanCalculator1", "&Loan Calculator", "accessories-calculator", QStyle::SP_MessageBoxInformation});
    m_internetAct = addEntry(options, {"Internet1", "&Internet", "internet-web-browser", QStyle::SP_DriveNetIcon});
    connect(m_calculatorAct, &QAction::triggered, m_calculatorButton, &QToolButton::click);
    connect(m_loanCalculatorAct, &QAction::triggered, m_loanCalculatorButton, &QToolButton::click);
    connect(m_internetAct, &QAction::triggered, m_internetButton, &QToolButton::click);
}

void Tfrm_main::buildWindowsMenu()
{
    m_windowsMenu = addMenu("Windows1", "&Windows");
    m_windowsMenu->addSection(QStringLiteral("Tile"));
    m_tileHorizontallyAct =
        addEntry(m_windowsMenu, {"Horizontal1", "&Horizontal", "view-split-top-bottom", QStyle::SP_TitleBarShadeButton},
                 keys("Ctrl+H"));
    m_tileVerticallyAct =
        addEntry(m_windowsMenu, {"Vertical1", "&Vertical", "view-split-left-right", QStyle::SP_TitleBarUnshadeButton},
                 keys("Ctrl+T"));
    m_cascadeAct = addEntry(m_windowsMenu, {"Cascade1", "&Cascade", "window-new", QStyle::SP_TitleBarNormalButton},
                            keys("Ctrl+D"));
    m_windowsMenu->addSection(QStringLiteral("Windows"));
    connect(m_tileHorizontallyAct, &QAction::triggered, this, &Tfrm_main::tileHorizontally);
    connect(m_tileVerticallyAct, &QAction::triggered, this, &Tfrm_main::tileVertically);
    connect(m_cascadeAct, &QAction::triggered, this, &Tfrm_main::cascade);
    connect(m_windowsMenu, &QMenu::aboutToShow, this, &Tfrm_main::updateWindowMenu);
}

void Tfrm_main::buildHelpMenu()
{
    QMenu *help = addMenu("Help1", "&Help");
    help->addSection(QStringLiteral("Help"));
    m_contentsAct = addEntry(help, {"Content1", "&Contents", "help-contents", QStyle::SP_DialogHelpButton});
    m_aboutAct = addEntry(help, {"About1", "&About", "help-about", QStyle::SP_MessageBoxInformation});
    m_samplePlanAct =
        addEntry(help, {"mnuOpenSamplePlan", "Open &Sample Plan", "document-open", QStyle::SP_DialogOpenButton});
    help->addSection(QStringLiteral("How To"));
    m_reportBugAct = addEntry(help, {"ReportABug1", "&Report A Bug", "mail-send", QStyle::SP_MessageBoxWarning});
    connect(m_contentsAct, &QAction::triggered, this,
            [this] { openHelp(QStringLiteral("hlp_Contents_index_main.html")); });
    connect(m_aboutAct, &QAction::triggered, this, &Tfrm_main::showAbout);
    connect(m_samplePlanAct, &QAction::triggered, m_documents.get(), &PlanDocuments::openSamplePlan);
    connect(m_reportBugAct, &QAction::triggered, this, &Tfrm_main::reportABug);
}

// --- following the active document window -------------------------------------------------

void Tfrm_main::updateMenus()
{
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    showMenusOf(active ? active->widget() : nullptr);
    Tfrm_budget *plan = activePlanWindow();
    m_undoGroup->setActiveStack(plan ? plan->history() : nullptr);
    for (QAction *a : std::as_const(m_planActs))
        a->setEnabled(plan != nullptr);
    m_documents->nameAlikePlans();
    const bool hasWindows = documentWindowCount() > 0;
    for (QAction *a : std::as_const(m_documentActs))
        a->setEnabled(hasWindows);
}

// While the browser is the active document window its own File menu stands
// in place of the main window's menus; while the loan calculator is, its
// File menu stands in place of the main window's File menu.
void Tfrm_main::showMenusOf(const QWidget *active)
{
    BrowserWindow *web = browser();
    const bool browsing = web && active == web->browserWidget();
    Tfrm_loan_calc *calculator = loanCalculator();
    const bool calculating = calculator && active == calculator;
    const QAction *calculatorMenu = calculator ? calculator->fileMenu()->menuAction() : nullptr;
    for (QAction *menu : menuBar()->actions()) {
        if (web && menu == web->fileMenu()->menuAction())
            menu->setVisible(browsing);
        else if (menu == calculatorMenu)
            menu->setVisible(calculating && !browsing);
        else
            menu->setVisible(!browsing && !(calculating && menu == m_fileMenu->menuAction()));
    }
}

void Tfrm_main::updateWindowMenu()
{
    qDeleteAll(m_windowListActs);
    m_windowListActs.clear();
    const QList<QMdiSubWindow *> windows = documentWindows();
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
        m_windowListActs << a;
    }
}

void Tfrm_main::forwardToPlan(const char *buttonName)
{
    if (Tfrm_budget *plan = activePlanWindow())
        if (QToolButton *b = plan->toolButton(QLatin1String(buttonName)); b && b->isEnabled())
            b->click();
}

QAction *Tfrm_main::action(const QString &objectName) const
{
    return menuBar()->findChild<QAction *>(objectName);
}
