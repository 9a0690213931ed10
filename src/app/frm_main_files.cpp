// The main window's plan files beyond open and save: the recent plans and the
// CSV files of a plan.
#include "frm_main.h"

#include "plan/Plan.h"
#include "plan/PlanCsv.h"
#include "plan/PlanFileError.h"
#include "plan/PlanImport.h"
#include "plan/RecentPlans.h"
#include "planwindow/frm_budget.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QMenu>
#include <QUndoStack>

void Tfrm_main::rememberPlan(const QString &planFile)
{
    // The list is a convenience: a list that cannot be written loses the
    // entry, never the plan or the open.
    try {
        m_recentPlans->add(planFile);
    } catch (const PlanFileError &) {
    }
    updateRecentPlansMenu();
    nameAlikePlans();
}

Tfrm_budget *Tfrm_main::planWindowOf(const QString &path) const
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (Tfrm_budget *window : planWindows())
        if (window->hasFileOnDisk() && QFileInfo(window->planfile()).canonicalFilePath() == wanted)
            return window;
    return nullptr;
}

QString Tfrm_main::activePlanFolder() const
{
    const Tfrm_budget *window = activePlanWindow();
    return FileDialog::startFolder(window ? window->planfile() : QString());
}

// Plans of the same file name in different folders: each title shows as much
// of its folder as tells it from the others ("home.pkb - Documents/2025").
void Tfrm_main::nameAlikePlans()
{
    QHash<QString, QList<Tfrm_budget *>> byName;
    for (Tfrm_budget *window : planWindows())
        byName[window->planFileName()].append(window);
    for (const QList<Tfrm_budget *> &alike : std::as_const(byName)) {
        QList<QStringList> folders;
        for (const Tfrm_budget *window : alike)
            folders << QDir::fromNativeSeparators(QFileInfo(window->planfile()).absolutePath())
                           .split(u'/', Qt::SkipEmptyParts);
        // The fewest last folder names that tell every plan apart.
        qsizetype shown = 0;
        if (alike.size() > 1) {
            qsizetype deepest = 0;
            for (const QStringList &f : std::as_const(folders))
                deepest = qMax(deepest, f.size());
            for (shown = 1; shown < deepest; ++shown) {
                QSet<QString> tails;
                for (const QStringList &f : std::as_const(folders))
                    tails.insert(f.mid(qMax<qsizetype>(0, f.size() - shown)).join(u'/'));
                if (tails.size() == alike.size())
                    break;
            }
        }
        for (qsizetype i = 0; i < alike.size(); ++i) {
            Tfrm_budget *window = alike.at(i);
            QString title = window->planFileName();
            if (shown > 0) {
                const QStringList &f = folders.at(i);
                const QString tail = f.mid(qMax<qsizetype>(0, f.size() - shown)).join(u'/');
                title += QStringLiteral(" - ")
                         + QDir::toNativeSeparators(f.size() > shown ? tail : QLatin1Char('/') + tail);
            }
            if (window->windowTitle() != title)
                window->setWindowTitle(title);
        }
    }
}

void Tfrm_main::updateRecentPlansMenu()
{
    m_recentMenu->clear();
    const QStringList plans = m_recentPlans->entries();
    for (qsizetype i = 0; i < plans.size(); ++i) {
        const QString path = plans.at(i);
        QAction *a = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))));
        a->setObjectName(QStringLiteral("mnuRecentPlan%1").arg(i + 1));
        a->setData(path);
        a->setIcon(m_recentMenu->menuAction()->icon());
        connect(a, &QAction::triggered, this, [this, path] { openRecentPlan(path); });
    }
    m_recentMenu->setEnabled(!plans.isEmpty());
}

void Tfrm_main::openRecentPlan(const QString &path)
{
    // The open routine would show an empty plan under the name of a file
    // that is gone; the entry goes instead, and the user is told why.
    if (!QFileInfo(path).isFile()) {
        try {
            m_recentPlans->remove(path);
        } catch (const PlanFileError &) {
        }
        updateRecentPlansMenu();
        MessageBox::error(this, QStringLiteral("\"%1\" does not exist; it is taken off the list of recent plans.")
                                    .arg(QDir::toNativeSeparators(path)));
        return;
    }
    openPlanFile(path);
}

void Tfrm_main::importFromCsv()
{
    FileDialog::Request request;
    request.title = QStringLiteral("Import From CSV");
    request.directory = activePlanFolder();
    const std::optional<QString> folder = FileDialog::getExistingDirectory(this, request);
    if (!folder)
        return;

    // Every row of every file is checked before a window opens.
    Plan imported;
    PlanImport import;
    if (!import.read(*folder, imported)) {
        MessageBox::error(this, QStringLiteral("The CSV files in \"%1\" cannot be imported; nothing was opened.\n\n%2")
                                    .arg(QDir::toNativeSeparators(*folder), import.shownErrors().join(u'\n')));
        return;
    }

    const QString name = QDir(*folder).dirName() + QStringLiteral(".PKB");
    Tfrm_budget *window = createPlanWindow();
    window->setPlanfile(name);
    window->setWindowTitle(name);
    Plan &plan = window->plan();
    plan.items().takeRowsFrom(imported.items());
    plan.categories().takeRowsFrom(imported.categories());
    plan.savings().takeRowsFrom(imported.savings());
    plan.loans().takeRowsFrom(imported.loans());
    plan.reminders().takeRowsFrom(imported.reminders());
    presentPlan(window);
    window->cb_item_total_freqChange();
    // A new plan that no file holds yet: saving asks for its name.
    window->setSaved(false);
    window->history()->resetClean(); // no file holds any state of it
    window->keepRecoveryCopySoon();
    window->show();
    window->showDueReminders();
    if (!import.warnings().isEmpty())
        MessageBox::information(this, import.warnings().join(u'\n'));
}

void Tfrm_main::exportToCsv()
{
    Tfrm_budget *window = activePlanWindow();
    if (!window)
        return;
    FileDialog::Request request;
    request.title = QStringLiteral("Export To CSV");
    request.directory = activePlanFolder();
    const std::optional<QString> folder = FileDialog::getExistingDirectory(this, request);
    if (!folder)
        return;
    try {
        PlanCsv::writeFolder(window->plan(), *folder);
    } catch (const PlanFileError &e) {
        MessageBox::error(this, e.message());
    }
}
