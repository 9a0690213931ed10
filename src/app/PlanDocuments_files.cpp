// The plan documents' files beyond open and save: the list of recent plans
// and the CSV files of a plan.
#include "PlanDocuments.h"
#include "DocumentArea.h"

#include "plan/Plan.h"
#include "plan/PlanCsv.h"
#include "plan/PlanFileError.h"
#include "plan/PlanImport.h"
#include "planwindow/frm_budget.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

void PlanDocuments::rememberPlan(const QString &planFile)
{
    // The list is a convenience: a list that cannot be written loses the
    // entry, never the plan or the open.
    try {
        m_recentPlans.add(planFile);
    } catch (const PlanFileError &) {
    }
    updateRecentPlansMenu();
    nameAlikePlans();
}

void PlanDocuments::setRecentPlansMenu(QMenu *menu)
{
    m_recentMenu = menu;
    // Read again each time: another copy of the program may have added to it.
    connect(m_recentMenu, &QMenu::aboutToShow, this, &PlanDocuments::updateRecentPlansMenu);
    updateRecentPlansMenu();
}

void PlanDocuments::updateRecentPlansMenu()
{
    m_recentMenu->clear();
    const QStringList plans = m_recentPlans.entries();
    for (qsizetype i = 0; i < plans.size(); ++i) {
        const QString path = plans.at(i);
        QAction *a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))));
        a->setObjectName(QStringLiteral("mnuRecentPlan%1").arg(i + 1));
        a->setData(path);
        a->setIcon(m_recentMenu->menuAction()->icon());
        connect(a, &QAction::triggered, this, [this, path] { openRecentPlan(path); });
    }
    m_recentMenu->setEnabled(!plans.isEmpty());
}

void PlanDocuments::openRecentPlan(const QString &path)
{
    // The open routine would show an empty plan under the name of a file
    // that is gone; the entry goes instead, and the user is told why.
    if (!QFileInfo(path).isFile()) {
        try {
            m_recentPlans.remove(path);
        } catch (const PlanFileError &) {
        }
        updateRecentPlansMenu();
        MessageBox::error(dialogParent(),
                          QStringLiteral("\"%1\" does not exist; it is taken off the list of recent plans.")
                              .arg(QDir::toNativeSeparators(path)));
        return;
    }
    openPlanFile(path);
}

void PlanDocuments::importFromCsv()
{
    FileDialog::Request request;
    request.title = QStringLiteral("Import From CSV");
    request.directory = activePlanFolder();
    const std::optional<QString> folder = FileDialog::getExistingDirectory(dialogParent(), request);
    if (!folder)
        return;

    // Every row of every file is checked before a window opens.
    Plan imported;
    PlanImport import;
    if (!import.read(*folder, imported)) {
        MessageBox::error(dialogParent(),
                          QStringLiteral("The CSV files in \"%1\" cannot be imported; nothing was opened.\n\n%2")
                              .arg(QDir::toNativeSeparators(*folder), import.shownErrors().join(u'\n')));
        return;
    }

    openAsNewPlan(imported, QDir(*folder).dirName() + QStringLiteral(".PKB"));
    if (!import.warnings().isEmpty())
        MessageBox::information(dialogParent(), import.warnings().join(u'\n'));
}

void PlanDocuments::exportToCsv()
{
    Tfrm_budget *window = m_area.activePlanWindow();
    if (!window)
        return;
    FileDialog::Request request;
    request.title = QStringLiteral("Export To CSV");
    request.directory = activePlanFolder();
    const std::optional<QString> folder = FileDialog::getExistingDirectory(dialogParent(), request);
    if (!folder)
        return;
    try {
        PlanCsv::writeFolder(window->plan(), *folder);
    } catch (const PlanFileError &e) {
        MessageBox::error(dialogParent(), e.message());
    }
}
