// Help > Open Sample Plan: the plan of a household (two wages, the bills of a
// home and a family, two savings goals, a car loan and a sofa on credit, the
// reminders of the year), installed with the program to look around in.
//
// It opens as a new plan under a name of its own, like an imported one:
// nothing is ever written back to the installed files, which are only read,
// and saving asks where to keep it.
#include "frm_main.h"

#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "plan/PlanFileError.h"
#include "plan/PlanFiles.h"
#include "planwindow/frm_budget.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QUndoStack>

namespace {

// The sample's files in the program's read-only folder, and the name its
// window carries until it is saved.
constexpr char kSampleFile[] = "sample/household.pkb";
constexpr char kSampleName[] = "Sample Household.PKB";

// The dates of the sample's goals and loans were written for the year it was
// made. Opened in another year they move by whole years, the most recent
// start staying on or before today, so the goals are under way, the loans
// still being paid and both counted in the totals, as in a plan kept up to date.
void keepDatesCurrent(Plan &plan, const QDate &today)
{
    Table *tables[] = {&plan.savings(), &plan.loans()};
    QDate latestStart;
    for (const Table *table : tables) {
        const int start = table->fieldIndex(QStringLiteral("start"));
        for (const Table::RowView row : table->allRows()) {
            const QDate date = CalendarTime::fromReading(row.at(start).toDateTime()).date();
            if (date.isValid() && (!latestStart.isValid() || date > latestStart))
                latestStart = date;
        }
    }
    if (!latestStart.isValid())
        return;
    int years = today.year() - latestStart.year();
    if (latestStart.addYears(years) > today)
        --years;
    if (years == 0)
        return;
    for (Table *table : tables) {
        const int fields[] = {table->fieldIndex(QStringLiteral("start")), table->fieldIndex(QStringLiteral("finish"))};
        std::vector<Table::Row> rows = table->allRows().toRows();
        for (Table::Row &row : rows) {
            for (const int field : fields) {
                const QDateTime reading = CalendarTime::fromReading(row.at(field).toDateTime());
                if (reading.isValid())
                    row[field] = CalendarTime::at(reading.date().addYears(years), reading.time());
            }
        }
        table->setAllRows(std::move(rows));
    }
}

} // namespace

void Tfrm_main::openSamplePlan()
{
    const QString file = QDir(m_resourceFolder).filePath(QLatin1String(kSampleFile));
    for (const QString &part : PlanFiles::familyFiles(file)) {
        if (!QFileInfo(part).isFile()) {
            MessageBox::error(this, QStringLiteral("The sample plan is not installed with the program: \"%1\" is "
                                                   "missing.\nReinstall Kavo Pursekeep to have it.")
                                        .arg(QDir::toNativeSeparators(part)));
            return;
        }
    }

    // Read table by table into a plan of its own: no lock or tidying of a
    // save is done in a folder that belongs to the installation.
    const QString cannotRead = QStringLiteral("The sample plan cannot be read; nothing was opened.\n\n%1");
    Plan sample;
    try {
        PlanFiles::loadTable(sample.items(), file);
        PlanFiles::loadTable(sample.loans(), PlanFiles::loansFile(file));
        PlanFiles::loadTable(sample.savings(), PlanFiles::savingsFile(file));
        PlanFiles::loadTable(sample.categories(), PlanFiles::categoriesFile(file));
        PlanFiles::loadTable(sample.reminders(), PlanFiles::remindersFile(file));
    } catch (const PlanFileError &e) {
        MessageBox::error(this, cannotRead.arg(e.message()));
        return;
    }
    const QString settings = PlanFiles::settingsFile(file);
    const QString frequencyText = PlanFiles::readDisplayFrequencyText(settings);
    bool isNumber = false;
    const int frequency = frequencyText.trimmed().toInt(&isNumber);
    if (!isNumber || frequency < 0 || frequency >= Frequency::count()) {
        MessageBox::error(this, cannotRead.arg(QStringLiteral("\"%1\" holds no display frequency ('%2').")
                                                   .arg(QDir::toNativeSeparators(settings), frequencyText)));
        return;
    }
    keepDatesCurrent(sample, Clock::today());

    const QString name = QLatin1String(kSampleName);
    Tfrm_budget *window = createPlanWindow();
    window->setPlanfile(name);
    window->setWindowTitle(name);
    Plan &plan = window->plan();
    plan.items().takeRowsFrom(sample.items());
    plan.categories().takeRowsFrom(sample.categories());
    plan.savings().takeRowsFrom(sample.savings());
    plan.loans().takeRowsFrom(sample.loans());
    plan.reminders().takeRowsFrom(sample.reminders());
    presentPlan(window);
    window->setDisplayFrequency(frequency);
    window->cb_item_total_freqChange();
    // No file of the person's holds it yet: saving asks for its name.
    window->setSaved(false);
    window->history()->resetClean();
    window->keepRecoveryCopySoon();
    window->show();
    window->showDueReminders();
}
