// The plan documents' part of the safety net: unsaved plans recovered after
// a crash, and a plan's backups put back.
#include "PlanDocuments.h"
#include "DocumentArea.h"

#include "plan/Clock.h"
#include "plan/Plan.h"
#include "plan/PlanBackups.h"
#include "plan/PlanLock.h"
#include "plan/ProgramFolders.h"
#include "plan/RecoveryCopy.h"
#include "planwindow/frm_budget.h"
#include "widgets/Format.h"
#include "widgets/ListDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QUndoStack>

namespace {

// A recovery copy as the list shows it: the plan, its file, when the copy was
// taken and whether it can be read.
QStringList recoveryRow(const RecoveryCopy &copy)
{
    const RecoveryCopy::About &about = copy.about();
    const QString plan = !about.title.isEmpty() ? about.title : QFileInfo(about.planFile).fileName();
    const QString file =
        about.planFile.isEmpty() ? QStringLiteral("(never saved)") : QDir::toNativeSeparators(about.planFile);
    const QString time =
        about.time.isValid() ? about.time.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
    const QString state = copy.problem().isEmpty() ? QStringLiteral("Can be recovered")
                                                   : QStringLiteral("Cannot be read: ") + copy.problem();
    return {plan.isEmpty() ? QStringLiteral("(no name)") : plan, file, time, state};
}

// A backup as the list shows it: when a save replaced it, its items and its
// balance a month, or why it cannot be read.
QStringList backupRow(const PlanBackups::Backup &backup)
{
    const PlanBackups::Summary summary = PlanBackups::summarise(backup, Clock::now());
    if (!summary.problem.isEmpty())
        return {PlanBackups::timeText(backup), QString(), QStringLiteral("cannot be read: ") + summary.problem};
    return {PlanBackups::timeText(backup), QString::number(summary.items), Format::currency(summary.monthlyBalance)};
}

} // namespace

bool PlanDocuments::offerRecovery()
{
    RecoveryCopies copies = RecoveryCopy::orphans(ProgramFolders::recoveryFolder());
    if (copies.empty())
        return false;
    QList<QStringList> rows;
    for (const auto &copy : copies)
        rows << recoveryRow(*copy);
    ListDialog dialog(
        QStringLiteral("frm_recover"), QStringLiteral("Recover Unsaved Changes"),
        QStringLiteral("The program stopped before these plans were saved. Recover opens each chosen "
                       "plan with its unsaved changes (save it to keep them); Discard throws the "
                       "changes away. Copies you choose neither for are offered again next time."),
        {QStringLiteral("Plan"), QStringLiteral("File"), QStringLiteral("Copy taken"), QStringLiteral("State")}, rows,
        dialogParent());
    dialog.setManyChosen(true);
    dialog.addButton(QStringLiteral("btn_recover"), QStringLiteral("&Recover"), true);
    dialog.addButton(QStringLiteral("btn_discard"), QStringLiteral("&Discard"));
    dialog.addButton(QStringLiteral("btn_later"), QStringLiteral("&Later"));
    ModalRunner::exec(&dialog);

    const QList<int> chosen = dialog.chosenRows();
    if (dialog.pressed() == QLatin1String("btn_discard") && !chosen.isEmpty()) {
        discardCopies(copies, chosen);
        return false;
    }
    if (dialog.pressed() != QLatin1String("btn_recover"))
        return false;
    return recoverCopies(copies, chosen);
}

// The chosen copies thrown away, once the person has said yes to losing them.
void PlanDocuments::discardCopies(RecoveryCopies &copies, const QList<int> &chosen)
{
    const QString question = QStringLiteral("The unsaved changes of %1 will be lost for good. Discard them?")
                                 .arg(chosen.size() == 1 ? QStringLiteral("this plan")
                                                         : QStringLiteral("these %1 plans").arg(chosen.size()));
    if (MessageBox::warningYesNo(dialogParent(), question) == MessageBox::Answer::Yes)
        for (int row : chosen)
            copies[static_cast<size_t>(row)]->discard();
}

// Each chosen copy that can be read opens in a plan window; true when one did.
bool PlanDocuments::recoverCopies(RecoveryCopies &copies, const QList<int> &chosen)
{
    QStringList unreadable;
    bool recovered = false;
    for (int row : chosen) {
        auto &copy = copies[static_cast<size_t>(row)];
        if (!copy->problem().isEmpty()) {
            unreadable << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(copy->path()), copy->problem());
            continue;
        }
        recoverPlan(std::move(copy));
        recovered = true;
    }
    // A copy that cannot be read stays where it is, for a person to look at.
    if (!unreadable.isEmpty())
        MessageBox::error(dialogParent(),
                          QStringLiteral("These recovery copies cannot be read; they are kept as they are:\n")
                              + unreadable.join(u'\n'));
    return recovered;
}

// The plan opens with the copy's tables, marked unsaved: the person decides
// whether to save them over the plan's files.
void PlanDocuments::recoverPlan(std::unique_ptr<RecoveryCopy> copy)
{
    const RecoveryCopy::About about = copy->about();
    Tfrm_budget *window = m_area.createPlanWindow();
    try {
        copy->load(window->plan());
    } catch (const PlanFileError &e) {
        MessageBox::error(dialogParent(), e.message());
        discardPlanWindow(window);
        return;
    }
    const QString title = !about.title.isEmpty() ? about.title : QFileInfo(about.planFile).fileName();
    window->setPlanfile(about.planFile.isEmpty() ? title : about.planFile);
    window->setWindowTitle(title);
    if (!about.planFile.isEmpty()) {
        auto lock = std::make_unique<PlanLock>(about.planFile, PlanLock::Kind::Open);
        if (lock->tryLock() == PlanLock::Result::Locked)
            window->setOpenLock(std::move(lock));
    }
    presentPlan(window);
    window->setDisplayFrequency(about.displayFrequency);
    window->setSaved(false);
    window->history()->resetClean();
    window->adoptRecoveryCopy(std::move(copy));
    window->cb_item_total_freqChange();
    window->show();
    window->showDueReminders();
}

void PlanDocuments::restoreFromBackup()
{
    Tfrm_budget *window = m_area.activePlanWindow();
    if (!window)
        return;
    const QString planFile = window->planfile();
    const QList<PlanBackups::Backup> backups = QFileInfo(planFile).isAbsolute()
        ? PlanBackups::list(ProgramFolders::backupsFolder(), planFile)
        : QList<PlanBackups::Backup>();
    if (backups.isEmpty()) {
        MessageBox::information(dialogParent(),
                                QStringLiteral("\"%1\" has no backups yet: one is kept each time a "
                                               "save replaces the plan.")
                                    .arg(window->planFileName()));
        return;
    }
    QList<QStringList> rows;
    for (const PlanBackups::Backup &backup : backups)
        rows << backupRow(backup);
    ListDialog dialog(QStringLiteral("frm_backups"), QStringLiteral("Restore From Backup"),
                      QStringLiteral("Backups of \"%1\", newest first, each the plan as a save replaced it. Restore "
                                     "puts the chosen one in the plan window as an unsaved change, which Undo takes "
                                     "back.")
                          .arg(QDir::toNativeSeparators(planFile)),
                      {QStringLiteral("Saved over on"), QStringLiteral("Items"), QStringLiteral("Balance a month")},
                      rows, dialogParent());
    dialog.addButton(QStringLiteral("btn_restore"), QStringLiteral("&Restore"), true);
    dialog.addButton(QStringLiteral("btn_cancel"), QStringLiteral("Cancel"));
    ModalRunner::exec(&dialog);
    const QList<int> chosen = dialog.chosenRows();
    if (dialog.pressed() == QLatin1String("btn_restore") && chosen.size() == 1)
        window->restoreBackup(backups.at(chosen.front()));
}
