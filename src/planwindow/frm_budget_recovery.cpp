#include "frm_budget.h"

#include "plan/Plan.h"
#include "plan/PlanBackups.h"
#include "plan/PlanEdits.h"
#include "plan/PlanLock.h"
#include "plan/ProgramFolders.h"
#include "plan/RecoveryCopy.h"
#include "widgets/MessageBox.h"

#include <QTimer>
#include <QUndoStack>

// Closing the window is the person's answer for its unsaved changes (saved,
// or "No"): the recovery copy goes with it. Only a crash leaves one behind.
Tfrm_budget::~Tfrm_budget()
{
    discardRecoveryCopy();
}

void Tfrm_budget::adoptRecoveryCopy(std::unique_ptr<RecoveryCopy> copy)
{
    discardRecoveryCopy();
    m_recovery = std::move(copy);
}

void Tfrm_budget::keepRecoveryCopySoon()
{
    if (!m_recoveryTimer->isActive())
        m_recoveryTimer->start(kRecoveryDelayMs);
}

void Tfrm_budget::keepRecoveryCopy()
{
    if (m_plan->isSaved())
        return;
    if (!m_recovery)
        m_recovery = std::make_unique<RecoveryCopy>(ProgramFolders::recoveryFolder());
    // The copy before is still being written: this one follows shortly.
    if (m_recovery->isWriting()) {
        m_recoveryTimer->start(kRecoveryDelayMs / 6);
        return;
    }
    m_recovery->write(*m_plan, {m_planfile, windowTitle(), displayFrequency(), {}});
}

void Tfrm_budget::discardRecoveryCopy()
{
    m_recoveryTimer->stop();
    if (m_recovery) {
        m_recovery->discard();
        m_recovery.reset();
    }
}

bool Tfrm_budget::restoreBackup(const PlanBackups::Backup &backup)
{
    Plan restored;
    try {
        PlanBackups::load(backup, restored);
    } catch (const PlanFileError &e) {
        MessageBox::error(this, e.message());
        return false;
    }
    PlanEdits::PlanEdit edit =
        PlanEdits::replacePlan(*m_plan, restored, QStringLiteral("Restore Backup Of ") + PlanBackups::timeText(backup));
    if (!edit.ok()) {
        MessageBox::error(this, edit.error);
        return false;
    }
    const PlanChange &change = edit.change;
    const bool trees = change.touchesCategoryTrees();
    addToHistory(std::move(edit.change));
    if (trees)
        rebuildCategoryTrees();
    updateall();
    cb_item_total_freqChange();
    emit planChanged();
    return true;
}
