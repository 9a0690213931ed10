// Help > Open Sample Plan: the plan of a household (two wages, the bills of a
// home and a family, two savings goals, a car loan and a sofa on credit, the
// reminders of the year), installed with the program to look around in.
//
// It opens as a new plan under a name of its own, like an imported one:
// nothing is ever written back to the installed files, which are only read,
// and saving asks where to keep it.
#include "PlanDocuments.h"

#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "plan/PlanFileError.h"
#include "plan/PlanFiles.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The sample's files in the program's read-only folder, and the name its
// window carries until it is saved.
constexpr char kSampleFile[] = "sample/household.pkb";
constexpr char kSampleName[] = "Sample Household.PKB";

// The latest start date of the goals and loans in `tables`; none when no row has one.
QDate latestStart(const QList<Table *> &tables)
{
    QDate latest;
    for (const Table *table : tables) {
        const int start = table->fieldIndex(QStringLiteral("start"));
        for (const Table::RowView row : table->allRows()) {
            const QDate date = CalendarTime::fromReading(row.at(start).toDateTime()).date();
            if (date.isValid() && (!latest.isValid() || date > latest))
                latest = date;
        }
    }
    return latest;
}

// Every start and finish date of `table` moved by `years` years, each at its time of day.
void moveByYears(Table &table, int years)
{
    const int fields[] = {table.fieldIndex(QStringLiteral("start")), table.fieldIndex(QStringLiteral("finish"))};
    std::vector<Table::Row> rows = table.allRows().toRows();
    for (Table::Row &row : rows) {
        for (const int field : fields) {
            const QDateTime reading = CalendarTime::fromReading(row.at(field).toDateTime());
            if (reading.isValid())
                row[field] = CalendarTime::at(reading.date().addYears(years), reading.time());
        }
    }
    table.setAllRows(std::move(rows));
}

// The dates of the sample's goals and loans were written for the year it was
// made. Opened in another year they move by whole years, the most recent
// start staying on or before today, so the goals are under way, the loans
// still being paid and both counted in the totals, as in a plan kept up to date.
void keepDatesCurrent(Plan &plan, const QDate &today)
{
    const QList<Table *> tables = {&plan.savings(), &plan.loans()};
    const QDate latest = latestStart(tables);
    if (!latest.isValid())
        return;
    int years = today.year() - latest.year();
    if (latest.addYears(years) > today)
        --years;
    if (years == 0)
        return;
    for (Table *table : tables)
        moveByYears(*table, years);
}

// Why the sample plan is not there to open; empty when every file of it is.
QString missingSampleFile(const QString &file)
{
    for (const QString &part : PlanFiles::familyFiles(file))
        if (!QFileInfo(part).isFile())
            return QStringLiteral("The sample plan is not installed with the program: \"%1\" is missing.\n"
                                  "Reinstall Kavo Pursekeep to have it.")
                .arg(QDir::toNativeSeparators(part));
    return QString();
}

// The sample's tables read table by table into a plan of its own, and its
// display frequency: no lock or tidying of a save is done in a folder that
// belongs to the installation. Returns why it cannot be read, or nothing.
QString readSample(const QString &file, Plan &sample, int &frequency)
{
    const QString cannotRead = QStringLiteral("The sample plan cannot be read; nothing was opened.\n\n%1");
    try {
        PlanFiles::loadTable(sample.items(), file);
        PlanFiles::loadTable(sample.loans(), PlanFiles::loansFile(file));
        PlanFiles::loadTable(sample.savings(), PlanFiles::savingsFile(file));
        PlanFiles::loadTable(sample.categories(), PlanFiles::categoriesFile(file));
        PlanFiles::loadTable(sample.reminders(), PlanFiles::remindersFile(file));
    } catch (const PlanFileError &e) {
        return cannotRead.arg(e.message());
    }
    const QString settings = PlanFiles::settingsFile(file);
    const QString frequencyText = PlanFiles::readDisplayFrequencyText(settings);
    bool isNumber = false;
    frequency = frequencyText.trimmed().toInt(&isNumber);
    if (!isNumber || frequency < 0 || frequency >= Frequency::count())
        return cannotRead.arg(QStringLiteral("\"%1\" holds no display frequency ('%2').")
                                  .arg(QDir::toNativeSeparators(settings), frequencyText));
    return QString();
}

} // namespace

void PlanDocuments::openSamplePlan()
{
    const QString file = QDir(m_resourceFolder).filePath(QLatin1String(kSampleFile));
    QString problem = missingSampleFile(file);
    Plan sample;
    int frequency = 0;
    if (problem.isEmpty())
        problem = readSample(file, sample, frequency);
    if (!problem.isEmpty()) {
        MessageBox::error(dialogParent(), problem);
        return;
    }
    keepDatesCurrent(sample, Clock::today());
    openAsNewPlan(sample, QLatin1String(kSampleName), frequency);
}
