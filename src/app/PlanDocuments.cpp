#include "PlanDocuments.h"
#include "DocumentArea.h"
#include "frm_newplan.h"

#include "plan/PageKind.h"
#include "plan/Plan.h"
#include "plan/PlanFileError.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "plan/ProgramFolders.h"
#include "planwindow/frm_budget.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMdiSubWindow>
#include <QSet>
#include <QUndoStack>

namespace {
const QString kPlanFilter = QStringLiteral("Pursekeep files (*.pkb *.PKB)");
} // namespace

PlanDocuments::PlanDocuments(DocumentArea &area, const QString &programFolder, const QString &resourceFolder)
    : m_area(area), m_programFolder(programFolder), m_resourceFolder(resourceFolder),
      m_recentPlans(ProgramFolders::recentPlansFile())
{
    // The file dialogs start where the person last kept a plan.
    const QStringList recent = m_recentPlans.entries();
    if (FileDialog::lastFolder().isEmpty() && !recent.isEmpty())
        FileDialog::setLastFolder(QFileInfo(recent.constFirst()).absolutePath());
}

PlanDocuments::~PlanDocuments() = default;

QWidget *PlanDocuments::dialogParent() const
{
    return m_area.dialogParent();
}

// --- open, new and start-up ------------------------------------------------------------

bool PlanDocuments::openPlan()
{
    FileDialog::Request request;
    request.title = QStringLiteral("Open");
    request.directory = activePlanFolder();
    request.defaultSuffix = QStringLiteral("pkb");
    request.filter = kPlanFilter;
    const std::optional<QString> chosen = FileDialog::getOpenFileName(dialogParent(), request);
    if (!chosen)
        return false;
    openPlanFile(*chosen);
    return true;
}

bool PlanDocuments::openPlanFile(const QString &path)
{
    // A plan is open only once: the same file, by whatever spelling of its
    // path, brings its window forward. Plans of the same name in other
    // folders are other plans.
    if (Tfrm_budget *open = planWindowOf(path)) {
        m_area.bringForward(qobject_cast<QMdiSubWindow *>(open->parentWidget()));
        return true;
    }
    std::unique_ptr<PlanLock> lock;
    if (!lockToOpen(path, lock))
        return false;

    const QString name = QFileInfo(path).fileName();
    Tfrm_budget *window = m_area.createPlanWindow();
    window->setDisplayFrequency(2);
    window->setPlanfile(path);
    window->setWindowTitle(name);
    PlanFiles::Opened opened;
    try {
        opened = PlanFiles::loadPlan(window->plan(), path);
    } catch (const PlanFileError &e) {
        // Nothing of a damaged plan is shown; its files stay as they are.
        MessageBox::error(dialogParent(), e.message());
        discardPlanWindow(window);
        return false;
    }
    window->setDiskState(opened.state);
    if (lock && lock->isLocked())
        window->setOpenLock(std::move(lock));
    presentPlan(window);
    rememberPlan(path);
    window->showDueReminders();
    showAtItsFrequency(window, path);
    if (!opened.missing.isEmpty() && opened.missing.size() < 5)
        MessageBox::warning(dialogParent(),
                            QStringLiteral("\"%1\" lacks files of the plan, so what they hold is not shown:\n%2")
                                .arg(name, opened.missing.join(u'\n')));
    return true;
}

// The lock that tells other copies of the program the plan is open here. A
// plan open in another copy is opened here only when the person says so, and
// then without its lock; false when they say no.
bool PlanDocuments::lockToOpen(const QString &path, std::unique_ptr<PlanLock> &lock)
{
    lock = std::make_unique<PlanLock>(path, PlanLock::Kind::Open);
    if (lock->tryLock() != PlanLock::Result::HeldElsewhere)
        return true;
    const QString text = QStringLiteral("\"%1\" is open in another copy of the program (%2).\nChanges saved in "
                                        "one copy replace the plan of the other. Open it anyway?")
                             .arg(QDir::toNativeSeparators(path), lock->holder());
    if (MessageBox::warningYesNo(dialogParent(), text) != MessageBox::Answer::Yes)
        return false;
    lock.reset();
    return true;
}

// A plan without its settings file shows at Fortnightly; a settings file that
// holds something else is reported, and the window is not shown at it.
void PlanDocuments::showAtItsFrequency(Tfrm_budget *window, const QString &path)
{
    const QString settings = PlanFiles::settingsFile(path);
    const QString text =
        QFileInfo(settings).isFile() ? PlanFiles::readDisplayFrequencyText(settings) : QString::number(2);
    try {
        window->setDisplayFrequency(PlanFiles::displayFrequencyFromText(text));
    } catch (const PlanFileError &e) {
        MessageBox::error(dialogParent(), e.message());
        return;
    }
    window->cb_item_total_freqChange();
    window->show();
}

// A plan window whose tables could not be read goes again, unseen and unasked.
void PlanDocuments::discardPlanWindow(Tfrm_budget *window)
{
    window->plan().setSaved(true);
    m_area.discardDocumentWindow(window);
}

// A plan window after its tables were filled: totals, the income page.
void PlanDocuments::presentPlan(Tfrm_budget *window)
{
    window->updateall();
    window->setPagekind(PageKind::Income);
    window->plan().items().setFilter(kindFilter(Kind::Income));
    window->plan().items().setFiltered(true);
    window->rebuildCategoryTrees();
}

// An imported or sample plan: the rows of `contents` in a new window under
// `name`, with unsaved changes, since no file of the person's holds it yet
// and saving asks for its name.
void PlanDocuments::openAsNewPlan(Plan &contents, const QString &name, std::optional<int> displayFrequency)
{
    Tfrm_budget *window = m_area.createPlanWindow();
    window->setPlanfile(name);
    window->setWindowTitle(name);
    Plan &plan = window->plan();
    plan.items().takeRowsFrom(contents.items());
    plan.categories().takeRowsFrom(contents.categories());
    plan.savings().takeRowsFrom(contents.savings());
    plan.loans().takeRowsFrom(contents.loans());
    plan.reminders().takeRowsFrom(contents.reminders());
    presentPlan(window);
    if (displayFrequency)
        window->setDisplayFrequency(*displayFrequency);
    window->cb_item_total_freqChange();
    window->setSaved(false);
    window->history()->resetClean(); // no file holds any state of it
    window->keepRecoveryCopySoon();
    window->show();
    window->showDueReminders();
}

void PlanDocuments::newPlan()
{
    m_pendingPlanName.clear();
    Tfrm_newplan dialog(dialogParent());
    ModalRunner::exec(&dialog);
    m_pendingPlanName = dialog.planName();
    if (m_pendingPlanName.isEmpty())
        return;
    Tfrm_budget *window = m_area.createPlanWindow();
    window->setPlanfile(m_pendingPlanName + QStringLiteral(".PKB"));
    window->setWindowTitle(m_pendingPlanName + QStringLiteral(".PKB"));
}

void PlanDocuments::startupPlan()
{
    Tfrm_budget *window = m_area.createPlanWindow();
    window->setPlanfile(QDir(m_programFolder).filePath(QStringLiteral("Untitled1")));
    window->setWindowTitle(QStringLiteral("Untitled1"));
    window->show();
    window->rebuildCategoryTrees();
}

void PlanDocuments::openAtStart(const QStringList &files)
{
    bool opened = offerRecovery();
    for (const QString &file : files)
        opened = openPlanFile(QFileInfo(file).absoluteFilePath()) || opened;
    if (!opened)
        startupPlan();
}

// --- save as and close all ------------------------------------------------------------

// The save routine always asks for a name for a plan with unsaved changes;
// cancelled, the plan is left with them.
void PlanDocuments::saveAs()
{
    Tfrm_budget *plan = m_area.activePlanWindow();
    if (!plan)
        return;
    plan->setSaved(false);
    plan->setSaved(plan->savePlan());
}

// From the last window opened to the first; the first that will not close
// comes forward and the rest stay.
void PlanDocuments::closeAll()
{
    const QList<QMdiSubWindow *> windows = m_area.documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow *sub = *it;
        if (!sub->close()) {
            m_area.bringForward(sub);
            return;
        }
    }
}

// --- the plan windows ----------------------------------------------------------------

Tfrm_budget *PlanDocuments::planWindowOf(const QString &path) const
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (Tfrm_budget *window : m_area.planWindows())
        if (window->hasFileOnDisk() && QFileInfo(window->planfile()).canonicalFilePath() == wanted)
            return window;
    return nullptr;
}

QString PlanDocuments::activePlanFolder() const
{
    const Tfrm_budget *window = m_area.activePlanWindow();
    return FileDialog::startFolder(window ? window->planfile() : QString());
}

namespace {

// The last `count` names of `folders`, with the root's separator when that is all of them.
QString folderTail(const QStringList &folders, qsizetype count)
{
    const QString tail = folders.mid(qMax<qsizetype>(0, folders.size() - count)).join(u'/');
    return QDir::toNativeSeparators(folders.size() > count ? tail : QLatin1Char('/') + tail);
}

// The fewest last folder names that tell every plan of one name apart; none
// for a plan alone with its name.
qsizetype namesToTellApart(const QList<QStringList> &folders)
{
    if (folders.size() < 2)
        return 0;
    qsizetype deepest = 0;
    for (const QStringList &f : folders)
        deepest = qMax(deepest, f.size());
    qsizetype shown = 1;
    for (; shown < deepest; ++shown) {
        QSet<QString> tails;
        for (const QStringList &f : folders)
            tails.insert(f.mid(qMax<qsizetype>(0, f.size() - shown)).join(u'/'));
        if (tails.size() == folders.size())
            break;
    }
    return shown;
}

} // namespace

// "home.pkb - Documents/2025" beside "home.pkb - Archive/2025".
void PlanDocuments::nameAlikePlans()
{
    QHash<QString, QList<Tfrm_budget *>> byName;
    for (Tfrm_budget *window : m_area.planWindows())
        byName[window->planFileName()].append(window);
    for (const QList<Tfrm_budget *> &alike : std::as_const(byName)) {
        QList<QStringList> folders;
        for (const Tfrm_budget *window : alike)
            folders << QDir::fromNativeSeparators(QFileInfo(window->planfile()).absolutePath())
                           .split(u'/', Qt::SkipEmptyParts);
        const qsizetype shown = namesToTellApart(folders);
        for (qsizetype i = 0; i < alike.size(); ++i) {
            Tfrm_budget *window = alike.at(i);
            QString title = window->planFileName();
            if (shown > 0)
                title += QStringLiteral(" - ") + folderTail(folders.at(i), shown);
            if (window->windowTitle() != title)
                window->setWindowTitle(title);
        }
    }
}
