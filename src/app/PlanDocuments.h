#pragma once
#include "plan/RecentPlans.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class DocumentArea;
class Plan;
class PlanLock;
class QMenu;
class RecoveryCopy;
class Tfrm_budget;

// The commands that bring plans into the main window's document area and
// take them out again: open, new, the start-up plan, Save As, Close All, the
// recent plans, the CSV files of a plan, the sample plan, the recovery copies
// a program that died left and a plan's backups. The main window owns it; the
// plan windows are reached through the document area, and the dialogs and
// messages stand over its window.
class PlanDocuments : public QObject
{
    Q_OBJECT
public:
    // `programFolder` holds the start-up plan; `resourceFolder`, the
    // program's read-only files, the sample plan.
    PlanDocuments(DocumentArea &area, const QString &programFolder, const QString &resourceFolder);
    ~PlanDocuments() override;

    // --- open, new, start-up, close (PlanDocuments.cpp) ------------------------------
    bool openPlan(); // true when the open dialog was confirmed
    // The open routine after the dialog: true when a window shows the plan.
    bool openPlanFile(const QString &path);
    void newPlan();
    // The name typed in the "New Plan" dialog; empty when it was cancelled.
    QString pendingPlanName() const { return m_pendingPlanName; }
    void startupPlan();
    // At the first showing of the main window: work a program that died
    // could not save, then `files` in their order, the last one active; the
    // start-up plan when none of them opens.
    void openAtStart(const QStringList &files);
    void saveAs();
    void closeAll();
    // Plans of the same file name in different folders: each title shows as
    // much of its folder as tells it from the others.
    void nameAlikePlans();

    // --- recent plans and CSV files (PlanDocuments_files.cpp) ----------------------
    // A plan was opened or saved under `planFile`.
    void rememberPlan(const QString &planFile);
    // File > Recent Plans: the menu the list fills, read again each time it opens.
    void setRecentPlansMenu(QMenu *menu);
    QMenu *recentPlansMenu() const { return m_recentMenu; }
    void openRecentPlan(const QString &path);
    // File > Import From CSV… and Export To CSV….
    void importFromCsv();
    void exportToCsv();

    // --- the safety net (PlanDocuments_safety.cpp) --------------------------------
    // The recovery copies that programs which died left, offered back
    // ("Recover Unsaved Changes"). True when a plan was recovered.
    bool offerRecovery();
    // File > Restore From Backup…: the active plan's backups, one to put back.
    void restoreFromBackup();

    // --- Help > Open Sample Plan (PlanDocuments_sample.cpp) -------------------------
    // The household plan installed with the program, opened unsaved under its
    // own name.
    void openSamplePlan();

private:
    QWidget *dialogParent() const;
    // The open plan window of the plan file `path`, by its canonical path.
    Tfrm_budget *planWindowOf(const QString &path) const;
    // Where the file dialogs start: the active plan's folder, else the last
    // folder used, else the documents folder.
    QString activePlanFolder() const;
    bool lockToOpen(const QString &path, std::unique_ptr<PlanLock> &lock);
    void showAtItsFrequency(Tfrm_budget *window, const QString &path);
    void presentPlan(Tfrm_budget *window);
    // A new plan that no file holds yet, filled with the rows of `contents`.
    void openAsNewPlan(Plan &contents, const QString &name, std::optional<int> displayFrequency = {});
    void discardPlanWindow(Tfrm_budget *window);
    using RecoveryCopies = std::vector<std::unique_ptr<RecoveryCopy>>;
    void discardCopies(RecoveryCopies &copies, const QList<int> &chosen);
    bool recoverCopies(RecoveryCopies &copies, const QList<int> &chosen);
    void recoverPlan(std::unique_ptr<RecoveryCopy> copy);
    void updateRecentPlansMenu();

    DocumentArea &m_area;
    QString m_programFolder;
    QString m_resourceFolder;
    RecentPlans m_recentPlans;
    QMenu *m_recentMenu = nullptr;
    QString m_pendingPlanName;
};
