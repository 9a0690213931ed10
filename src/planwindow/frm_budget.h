#pragma once
#include "plan/PageKind.h"
#include "plan/PlanFiles.h"
#include "widgets/PlanDocument.h"

#include <QColor>
#include <QString>

#include <memory>

class Plan;
class PlanLock;
class PlanHost;
class RadioGroup;
class ItemsPage;
class SavingsPage;
class LoansPage;
class RemindersPage;
class ChartsPage;
class DueRemindersBar;
class QLabel;
class StatusPanel;
class QMenu;
class QStatusBar;
class QScrollArea;
class QTabWidget;
class QToolButton;
class QUndoStack;
class QTimer;
class RecoveryCopy;
namespace PlanBackups {
struct Backup;
}

// The plan window: one plan shown on five pages (items, savings, loans,
// reminders, charts) with its toolbar, status bar of totals and frequency bar.
// It owns the plan's tables and the state the commands and editors work with.
class Tfrm_budget : public PlanDocument
{
    Q_OBJECT
public:
    explicit Tfrm_budget(PlanHost *host, QWidget *parent = nullptr);
    ~Tfrm_budget() override;

    Plan &plan() override { return *m_plan; }
    PlanHost *host() const { return m_host; }

    // --- state -----------------------------------------------------------------
    QString planfile() const override { return m_planfile; }
    void setPlanfile(const QString &planfile) { m_planfile = planfile; }
    // The plan's files as they were on the disk when it was opened or last
    // saved: a save over files that changed since asks first.
    void setDiskState(const PlanFiles::DiskState &state) { m_diskState = state; }
    // The lock that tells other programs this plan is open here; the window
    // holds it until it closes (none when the plan was opened anyway).
    void setOpenLock(std::unique_ptr<PlanLock> lock);
    bool holdsOpenLock() const;
    QString pagekind() const override { return m_pagekind; }
    void setPagekind(const QString &kind) { m_pagekind = kind; }
    QString editmode() const override { return m_editmode; }
    void setEditmode(const QString &mode) { m_editmode = mode; }
    bool saved() const override;
    void setSaved(bool saved) override;
    QString cursymbol() const { return m_cursymbol; }
    const PlanTotals &totals() const override { return m_totals; }
    bool hintsEnabled() const override;

    // The display frequency: index 0..5 of RGFrequency. Setting a different
    // one runs the frequency-bar rule (tooltip, updateall).
    int displayFrequency() const override;
    QString displayFrequencyName() const override;
    void setDisplayFrequency(int index);

    // --- refresh routines ---------------------------------------------------------
    void updateall() override;
    void update_labels() override;
    void adjustcolwidths();
    void cb_item_total_freqChange();
    void rebuildCategoryTrees() override;
    // Each time the window becomes the active plan window.
    void activate();

    // --- undo history (frm_budget_history.cpp) -------------------------------------
    // Every change made to the plan since it was opened, one step each; its
    // clean state is the plan as last saved.
    QUndoStack *history() const { return m_history; }
    void addToHistory(PlanChange change) override;
    // Undoes or redoes one step and shows the plan as it left it: the page
    // the change was made on, the current row, trees, totals and status bar.
    void replayChange(const PlanChange &change, const QString &page, bool undo);
    // Forgets every step; the saved mark stays as it is.
    void clearHistory();

    // --- recovery copy and backups (frm_budget_recovery.cpp) --------------------------
    // A few seconds after a change leaves the plan with unsaved changes, a
    // copy of it is kept for recovery after a crash; a save, a return to the
    // saved state or closing the window removes it.
    static constexpr int kRecoveryDelayMs = 3000;
    RecoveryCopy *recoveryCopy() const { return m_recovery.get(); }
    // The window goes on keeping a copy found at start-up, which it now shows.
    void adoptRecoveryCopy(std::unique_ptr<RecoveryCopy> copy);
    // Writes the copy now, when there are unsaved changes (what the timer does).
    void keepRecoveryCopy();
    void keepRecoveryCopySoon();
    // Why the last save kept no backup of the plan it replaced; empty when it
    // kept one or had none to keep.
    QString backupProblem() const { return m_backupProblem; }
    // Puts a backup's tables in place of the plan's as one unsaved, undoable
    // change. False, after saying why, when the backup cannot be read.
    bool restoreBackup(const PlanBackups::Backup &backup);

    // --- plan files -------------------------------------------------------------
    // The save routine: writes the five table files (asking for a name first
    // when the plan has unsaved changes) and the settings copy in the program
    // folder. True when everything was written.
    bool savePlan();
    // The file-name part of planfile.
    QString planFileName() const;
    // Whether planfile names a plan on disk (one opened or saved), not the
    // name of a new, imported or sample plan that no file holds yet.
    bool hasFileOnDisk() const;
    QString programFolder() const override;

    // The green of the window's own background.
    static QColor backgroundColour();

    // --- parts tests and commands reach ---------------------------------------
    QStringList statusTexts() const;
    QString statusToolTip() const;
    ItemsPage *itemsPage() const { return m_itemsPage; }
    SavingsPage *savingsPage() const { return m_savingsPage; }
    LoansPage *loansPage() const { return m_loansPage; }
    RemindersPage *remindersPage() const { return m_remindersPage; }
    // The bar of the reminders due within a week, filled when the plan opens.
    DueRemindersBar *dueRemindersBar() const { return m_dueReminders; }
    void showDueReminders();
    ChartsPage *chartsPage() const { return m_chartsPage; }
    QTabWidget *pages() const { return m_pages; }
    QToolButton *toolButton(const QString &objectName) const;
    // The context menu of the items, savings and loans grids.
    QMenu *itemsPopupMenu() const { return m_itemsMenu; }
    void popupItemsMenu(QWidget *grid, const QPoint &pos);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildToolbar();
    void buildStatusBar();
    void buildPages();
    void pageShown(int index);
    void frequencyClicked();
    void buildItemsMenu();
    QString closeQuestion() const;
    // Before a save over the plan's files: asks when another program changed
    // them or has the plan open; false when the person cancels.
    bool mayReplaceFilesOnDisk();
    void keepOpenLock();
    bool hasCategoryOfKind(const QString &kindLetter) const;
    // Brings the pages up to date after a change the plan went through.
    void showChange(const PlanChange &change);
    // Shows the page a change was made on ("income", "expense", "savings", "loan", "reminder").
    void showPage(const QString &page);
    void savedFromHistory();
    void discardRecoveryCopy();
    QString pageKindLetter() const;

    // The toolbar commands (frm_budget_commands.cpp).
    void obnewitemClick();
    void obedititemClick();
    void obdeleteitemClick();
    void obclearallClick();
    void lmssbtn_addremindClick();
    void LMDSbtn_save_planClick();
    void obcloseplanClick();
    void obeditcatClick();

    // The savings, loan and reminder editors and the reminders page's own
    // buttons (the savings, loans and reminders pages).
    void openGoalOrLoanEditor(bool modal);
    void openReminderEditor(const QString &mode, const QString &kindLetter);
    void editReminderFromPage();
    void deleteReminderFromPage();

    PlanHost *m_host;
    Plan *m_plan;
    QString m_planfile;
    PlanFiles::DiskState m_diskState;
    std::unique_ptr<PlanLock> m_openLock;
    QString m_pagekind = PageKind::Income;
    QString m_editmode = QStringLiteral("new");
    QString m_cursymbol;
    PlanTotals m_totals;

    QScrollArea *m_scroll = nullptr;
    QWidget *m_toolbar = nullptr;
    QStatusBar *m_sbar = nullptr;
    StatusPanel *m_panels[5] = {};
    RadioGroup *m_frequency = nullptr;
    QTabWidget *m_pages = nullptr;
    ItemsPage *m_itemsPage = nullptr;
    SavingsPage *m_savingsPage = nullptr;
    LoansPage *m_loansPage = nullptr;
    RemindersPage *m_remindersPage = nullptr;
    ChartsPage *m_chartsPage = nullptr;
    DueRemindersBar *m_dueReminders = nullptr;
    QMenu *m_itemsMenu = nullptr;

    QUndoStack *m_history = nullptr;
    quint64 m_historyStamp = 0; // the plan's change stamp as the history last left it
    bool m_clearingHistory = false;
    bool m_historyUnfit = false; // its steps no longer fit the plan's rows

    std::unique_ptr<RecoveryCopy> m_recovery;
    QTimer *m_recoveryTimer = nullptr;
    QString m_backupProblem;
};
