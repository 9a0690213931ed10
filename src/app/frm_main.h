#pragma once
#include "app/DocumentArea.h"
#include "planwindow/PlanHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStyle>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAction;
class QFrame;
class QToolButton;
class Tfrm_budget;
class Tfrm_loan_calc;
class BrowserWindow;
class QUrl;
class QUndoGroup;
class QPrinter;
class HintsPanel;
class PlanDocuments;

// The main window: the button bar, the menus and the document area in which
// every plan window opens. The plan-document commands are PlanDocuments', the
// hints panel and the hint options HintsPanel's. When first shown it opens
// the start-up plan, and its exit protocol asks every plan with unsaved
// changes before the program ends.
class Tfrm_main : public QMainWindow, public PlanHost, private DocumentArea
{
    Q_OBJECT
public:
    // `programFolder` empty: the folder of the executable.
    explicit Tfrm_main(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~Tfrm_main() override;

    // PlanHost
    QString programFolder() const override { return m_programFolder; }
    void rememberPlan(const QString &planFile) override;
    bool isClosingAll() const override { return m_closingAll; }
    void setCloseApproval(bool approved) override { m_closeApproval = approved; }
    int documentWindowCount() const override;
    bool hintsEnabled() const override;
    // The printer chosen in Printer Setup, used by every print of the program.
    // Made the first time it is asked for: setting up a printer loads the
    // print system (CUPS), which a program that never prints need not hold.
    QPrinter *printer() const override;

    // The folder of the program's read-only files: help pages, hints
    // document, check-mark picture, sample plan.
    QString resourceFolder() const { return m_resourceFolder; }
    // Open, new, recent plans, CSV files, the sample plan, recovery, backups.
    PlanDocuments *documents() const { return m_documents.get(); }
    // Plans to open instead of the start-up plan when the window is first
    // shown (the files named on the command line).
    void setPlansToOpen(const QStringList &files) { m_plansToOpen = files; }

    // --- document windows (frm_main_windows.cpp) ------------------------------------
    QMdiArea *documentArea() const { return m_mdi; }
    Tfrm_budget *activePlanWindow() const override;
    QList<Tfrm_budget *> planWindows() const override;
    // The open loan calculator, if any; the calculator-open mark.
    Tfrm_loan_calc *loanCalculator() const;
    bool isCalculatorOpen() const { return m_calculatorOpen; }
    // The open browser, if any.
    BrowserWindow *browser() const { return m_browserWidget ? m_browser : nullptr; }
    bool isBrowserOpen() const { return browser() != nullptr; }

    // For tests: an entry of the menu bar and a button of the button bar.
    QAction *action(const QString &objectName) const;
    QToolButton *barButton(const QString &objectName) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // An entry of a menu: object name, caption and its picture from the
    // icon theme, the style's own where the theme has none.
    struct Entry
    {
        const char *name;
        const char *caption;
        const char *theme;
        QStyle::StandardPixmap fallback;
    };

    void buildButtonBar();
    QToolButton *addBarButton(const char *name, const char *caption, const char *tooltip, int width,
                              QStyle::StandardPixmap icon);

    // The menus (frm_main_menus.cpp).
    void buildMenus();
    QMenu *addMenu(const char *name, const char *caption);
    QAction *addEntry(QMenu *menu, const Entry &entry, const QKeySequence &keys = {});
    void buildFileMenu();
    void buildFileMenuEnd(QMenu *file);
    void connectFileMenu();
    void buildEditMenu();
    void buildViewMenu();
    void buildFrequencyMenu(QMenu *view);
    void buildOptionsMenu();
    void buildWindowsMenu();
    void buildHelpMenu();
    void updateMenus();
    void showMenusOf(const QWidget *active);
    void updateWindowMenu();
    void forwardToPlan(const char *buttonName);

    // DocumentArea, and placing the document windows (frm_main_windows.cpp).
    QWidget *dialogParent() override { return this; }
    Tfrm_budget *createPlanWindow() override;
    QList<QMdiSubWindow *> documentWindows() const override;
    void bringForward(QMdiSubWindow *window) override;
    void discardDocumentWindow(QWidget *document) override;
    QMdiSubWindow *addDocumentWindow(QWidget *window, const QSize &restoredSize = QSize());
    void keepInsideArea(QMdiSubWindow *sub);
    void subWindowActivated(QMdiSubWindow *window);
    void tileHorizontally();
    void tileVertically();
    void tile(Qt::Orientation direction);
    void cascade();
    void openLoanCalculator();
    void openBrowser(const QUrl &start);
    void openHelp(const QString &page) override;
    void showMainButtons();
    void hideMainButtons();

    void showAbout();
    void showCalculator();
    void printerSetup() override;
    void printPlan(bool preview);
    static QString bugReportUrl();
    void reportABug();

    QString m_programFolder;
    QString m_resourceFolder;
    BrowserWindow *m_browser = nullptr;
    QPointer<QWidget> m_browserWidget;
    bool m_calculatorOpen = false;
    bool m_closingAll = false;
    bool m_closeApproval = true;
    bool m_firstShown = false;
    QStringList m_plansToOpen;
    QString m_systemDateFormat;
    mutable std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<PlanDocuments> m_documents;

    QFrame *m_buttonBar = nullptr;
    QToolButton *m_openPlanButton = nullptr;
    QToolButton *m_newPlanButton = nullptr;
    QToolButton *m_internetButton = nullptr;
    QToolButton *m_loanCalculatorButton = nullptr;
    QToolButton *m_calculatorButton = nullptr;
    QToolButton *m_exitButton = nullptr;
    // The help page F1 opens for a button of the bar.
    QHash<const QWidget *, QString> m_buttonHelp;
    QMdiArea *m_mdi = nullptr;
    HintsPanel *m_hintsPanel = nullptr;
    // The plan windows' undo histories; Edit > Undo and Redo act on the active one.
    QUndoGroup *m_undoGroup = nullptr;

    QMenu *m_fileMenu = nullptr;
    QAction *m_newPlanAct = nullptr;
    QAction *m_openPlanAct = nullptr;
    QMenu *m_recentMenu = nullptr;
    QAction *m_importCsvAct = nullptr;
    QAction *m_saveAct = nullptr;
    QAction *m_saveAsAct = nullptr;
    QAction *m_exportCsvAct = nullptr;
    QAction *m_restoreBackupAct = nullptr;
    QAction *m_closeAct = nullptr;
    QAction *m_closeAllAct = nullptr;
    QAction *m_printAct = nullptr;
    QAction *m_printPreviewAct = nullptr;
    QAction *m_printerSetupAct = nullptr;
    QAction *m_exitAct = nullptr;
    QAction *m_undoAct = nullptr;
    QAction *m_redoAct = nullptr;
    QAction *m_newItemAct = nullptr;
    QAction *m_editItemAct = nullptr;
    QAction *m_deleteItemAct = nullptr;
    QAction *m_clearAllAct = nullptr;
    QAction *m_addReminderAct = nullptr;
    QAction *m_editCategoriesAct = nullptr;
    QList<QAction *> m_pageActs;
    QMenu *m_frequencyMenu = nullptr;
    QAction *m_showStartupAct = nullptr;
    QAction *m_showHintsAct = nullptr;
    QAction *m_calculatorAct = nullptr;
    QAction *m_loanCalculatorAct = nullptr;
    QAction *m_internetAct = nullptr;
    QMenu *m_windowsMenu = nullptr;
    QAction *m_tileHorizontallyAct = nullptr;
    QAction *m_tileVerticallyAct = nullptr;
    QAction *m_cascadeAct = nullptr;
    QAction *m_contentsAct = nullptr;
    QAction *m_aboutAct = nullptr;
    QAction *m_samplePlanAct = nullptr;
    QAction *m_reportBugAct = nullptr;
    // The entries that act on the active plan window, and on any document window.
    QList<QAction *> m_planActs;
    QList<QAction *> m_documentActs;
    // The Windows menu's list of the open document windows.
    QList<QAction *> m_windowListActs;
};
