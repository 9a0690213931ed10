#pragma once
#include "planwindow/PlanHost.h"

#include <QIcon>
#include <QMainWindow>
#include <memory>
#include <optional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QAction;
class QFrame;
class QToolButton;
class Tfrm_budget;
class Tfrm_loan_calc;
class Tfrm_browser;
class QUrl;
class QUndoGroup;
class RecoveryCopy;
class QPrinter;
class RecentPlans;

// The main window: the button bar, the menus and the document area in which
// every plan window opens. It creates the start-up plan when first shown, and
// its exit protocol asks every plan with unsaved changes before the program ends.
class Tfrm_main : public QMainWindow, public PlanHost
{
    Q_OBJECT
public:
    // `programFolder` empty: the folder of the executable.
    explicit Tfrm_main(const QString &programFolder = QString(), QWidget *parent = nullptr);
    ~Tfrm_main() override;

    // PlanHost
    QString programFolder() const override { return m_programFolder; }
    // The folder of the program's read-only files: help pages, hints
    // document, check-mark picture.
    QString resourceFolder() const { return m_resourceFolder; }
    void rememberPlan(const QString &planFile) override;
    bool isClosingAll() const override { return m_closingAll; }
    void setCloseApproval(bool approved) override { m_closeApproval = approved; }
    int documentWindowCount() const override;
    bool hintsEnabled() const override { return m_hints; }

    // --- plan files --------------------------------------------------------------
    bool openPlan();  // true when the open dialog was confirmed
    void newPlan();
    void startupPlan();

    // --- windows ----------------------------------------------------------------
    QMdiArea *documentArea() const { return m_mdi; }
    Tfrm_budget *activePlanWindow() const;
    // The open loan calculator, if any; the calculator-open mark.
    Tfrm_loan_calc *loanCalculator() const;
    bool isCalculatorOpen() const { return m_calculatorOpen; }
    Tfrm_browser *browser() const;
    bool isBrowserOpen() const { return m_browserOpen; }
    // Plans to open instead of the start-up plan when the window is first
    // shown (the files named on the command line).
    void setPlansToOpen(const QStringList &files) { m_plansToOpen = files; }
    bool openPlanFile(const QString &path);
    // File > Recent Plans: the entries as the menu shows them, and choosing one.
    QMenu *recentPlansMenu() const { return m_recentMenu; }
    void openRecentPlan(const QString &path);
    // File > Import From CSV… and Export To CSV….
    void importFromCsv();
    void exportToCsv();
    // At start-up: the recovery copies that programs which died left are
    // offered back ("Recover Unsaved Changes"). True when a plan was recovered.
    bool offerRecovery();
    // File > Restore From Backup…: the active plan's backups, one to put back.
    void restoreFromBackup();
    // Help > Open Sample Plan: the household plan installed with the program,
    // opened unsaved under its own name (frm_main_sample.cpp).
    void openSamplePlan();
    QList<Tfrm_budget *> planWindows() const;
    QString pendingPlanName() const { return m_pendingPlanName; }

    void closeAll();
    void tileHorizontally();
    void tileVertically();
    void cascade();
    void tile(Qt::Orientation direction);

    // The printer chosen in Printer Setup, used by every print of the program.
    QPrinter *printer() const override { return m_printer.get(); }
    static QString bugReportUrl();

    QAction *action(const QString &objectName) const;
    QToolButton *barButton(const QString &objectName) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildButtonBar();
    void buildMenus();
    void buildViewMenu(QMenu *view);
    void buildHintsPanel();
    void updateMenus();
    void updateWindowMenu();
    void updateRecentPlansMenu();
    // The open plan window of the plan file `path`, by its canonical path.
    Tfrm_budget *planWindowOf(const QString &path) const;
    // Where the file dialogs start: the active plan's folder, else the last
    // folder used, else the documents folder.
    QString activePlanFolder() const;
    void nameAlikePlans();
    void subWindowActivated(QMdiSubWindow *window);
    Tfrm_budget *createPlanWindow();

    // Placing the document windows (frm_main_windows.cpp).
    QMdiSubWindow *addDocumentWindow(QWidget *window, const QSize &restoredSize = QSize());
    void keepInsideArea(QMdiSubWindow *sub);
    void presentPlan(Tfrm_budget *window);
    void forwardToPlan(const char *buttonName);
    void saveAs();
    void recoverPlan(std::unique_ptr<RecoveryCopy> copy);
    void discardPlanWindow(Tfrm_budget *window);
    void showAbout();
    void showCalculator();
    void showMainButtons();
    void hideMainButtons();
    void printerSetup() override;
    void openHelp(const QString &page) override;
    void openBrowser(const QUrl &start);
    void printPlan(bool preview);
    void openLoanCalculator();

    // Configuration and start-up hints (frm_main_hints.cpp).
    QString configFile() const;
    void applyConfiguration();
    void mnushowstartupClick();
    void mnushowhintsClick();
    void cb_show_hintClick();
    void showHintPanel();
    void placeHintPanel();
    void closeHintPanel();
    void setHints(bool on);
    bool loadHints();
    bool writeOption(const QString &section, bool on);
    std::optional<QIcon> checkPicture();
    void reportABug();

    QString m_programFolder;
    QString m_resourceFolder;
    std::unique_ptr<RecentPlans> m_recentPlans;
    QMenu *m_recentMenu = nullptr;
    bool m_hints = false;
    bool m_browserOpen = false;
    bool m_calculatorOpen = false;
    bool m_closingAll = false;
    bool m_closeApproval = true;
    bool m_firstShown = false;
    QString m_pendingPlanName;
    QStringList m_plansToOpen;
    QString m_systemDateFormat;

    QFrame *m_buttonBar = nullptr;
    QFrame *m_hintPanel = nullptr;
    QMdiArea *m_mdi = nullptr;
    QMenu *m_windowsMenu = nullptr;
    // The plan windows' undo histories; Edit > Undo and Redo act on the active one.
    QUndoGroup *m_undoGroup = nullptr;
    QList<QAction *> m_windowActions;
    // The View menu's entries, which act on the active plan window.
    QList<QAction *> m_planActions;
    std::unique_ptr<QPrinter> m_printer;
};
