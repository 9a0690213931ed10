#include "PlanFiles.h"
#include "DataPacket.h"
#include "FileWriter.h"
#include "IniFile.h"
#include "Plan.h"
#include "PlanValues.h"
#include "RegularFile.h"

#include <QFile>

#include <algorithm>

namespace PlanFiles {

namespace {
// Far beyond any household plan (100,000 items take under 6 MB); keeps a huge
// wrong file from being read into memory several times over.
constexpr qint64 kMaxTableFileSize = 128LL << 20;
}

QString loansFile(const QString &p) { return p + QStringLiteral("ln"); }
QString savingsFile(const QString &p) { return p + QStringLiteral("sv"); }
QString categoriesFile(const QString &p) { return p + QStringLiteral("cat"); }
QString remindersFile(const QString &p) { return p + QStringLiteral("rem"); }
QString settingsFile(const QString &p) { return p + QStringLiteral("ini"); }
QString journalFile(const QString &p) { return p + QStringLiteral(".saving"); }

namespace {

DataPacket::StoredRows readRows(const Table &table, const QString &fileName)
{
    // Only a regular file, and no more of it than a plan file can hold: a
    // named pipe or a device in a plan file's place is refused at once.
    const RegularFile::Contents file = RegularFile::read(fileName, kMaxTableFileSize);
    if (file.status == RegularFile::Status::TooLarge)
        throw FileFormatError(fileName, QStringLiteral("\"%1\" is not a valid plan file: it is far too large").arg(fileName));
    if (!file.ok())
        throw FileFormatError(fileName, file.message);
    return DataPacket::readStored(file.bytes, table, fileName);
}

// Checks rows against the table's key on a scratch table, so the real table
// only changes when the whole file is good.
void checkedAssign(Table &table, DataPacket::StoredRows rows, const QString &fileName)
{
    // A value the windows could not show or the totals could not add (a
    // frequency nobody knows, an amount past the editors' digits) is refused
    // with its row and field, in the words the CSV import uses.
    if (const PlanValues::RowProblem bad = PlanValues::firstProblem(*rows.table); bad.found())
        throw FileFormatError(fileName, QStringLiteral("\"%1\" is not a valid plan file: row %2, field '%3': %4")
                                            .arg(fileName, QString::number(bad.row + 1),
                                                 rows.table->fields().at(bad.field).name, bad.text));
    try {
        if (rows.stored)
            table.setStoredRowsFrom(*rows.table);
        else
            table.setAllRows(rows.table->allRows());
    } catch (const TableError &e) {
        throw FileFormatError(fileName, QStringLiteral("\"%1\" is not a valid plan file: %2").arg(fileName, e.message()));
    }
}

} // namespace

void loadTable(Table &table, const QString &fileName)
{
    checkedAssign(table, readRows(table, fileName), fileName);
}

void loadPlan(Plan &plan, const QString &planFile)
{
    struct Part
    {
        Table *table;
        QString file;
    };
    const Part parts[] = {
        {&plan.items(), planFile},
        {&plan.loans(), loansFile(planFile)},
        {&plan.savings(), savingsFile(planFile)},
        {&plan.categories(), categoriesFile(planFile)},
        {&plan.reminders(), remindersFile(planFile)},
    };
    // A save that a crash cut short is finished first.
    try {
        FileWriter::recover(journalFile(planFile), {planFile, loansFile(planFile), savingsFile(planFile),
                                                    categoriesFile(planFile), remindersFile(planFile),
                                                    settingsFile(planFile)});
    } catch (const FileWriteError &e) {
        throw FileFormatError(e.fileName(), QStringLiteral("An interrupted save of \"%1\" cannot be completed: %2")
                                                .arg(planFile, e.reason()));
    }
    // Read and check everything first on scratch tables.
    std::vector<std::unique_ptr<Table>> loaded;
    for (const Part &part : parts) {
        std::unique_ptr<Table> scratch(Plan::createTable(part.table->name()));
        if (QFile::exists(part.file))
            checkedAssign(*scratch, readRows(*part.table, part.file), part.file);
        loaded.push_back(std::move(scratch));
    }
    for (size_t i = 0; i < std::size(parts); ++i)
        parts[i].table->takeRowsFrom(*loaded[i]);
}

void saveTable(const Table &table, const QString &fileName)
{
    FileWriter::writeFile(fileName, DataPacket::write(table));
}

namespace {

void addTables(FileWriter &writer, const Plan &plan, const QString &planFile)
{
    writer.setJournal(journalFile(planFile));
    writer.add(planFile, DataPacket::write(plan.items()));
    writer.add(loansFile(planFile), DataPacket::write(plan.loans()));
    writer.add(savingsFile(planFile), DataPacket::write(plan.savings()));
    writer.add(categoriesFile(planFile), DataPacket::write(plan.categories()));
    writer.add(remindersFile(planFile), DataPacket::write(plan.reminders()));
}

} // namespace

void savePlanTables(const Plan &plan, const QString &planFile)
{
    FileWriter writer;
    addTables(writer, plan, planFile);
    writer.commit();
}

void savePlan(const Plan &plan, const QString &planFile, const QString &settingsFile, int displayFrequency)
{
    // The settings file is read before anything is written, so a settings
    // file that cannot be read stops the save with every file untouched.
    const QByteArray settings = IniFile::withValue(settingsFile, QStringLiteral("freqvalue"), QStringLiteral("0"),
                                                   QString::number(displayFrequency));
    FileWriter writer;
    writer.add(settingsFile, settings);
    addTables(writer, plan, planFile);
    writer.commit();
}

QString readDisplayFrequencyText(const QString &iniFile)
{
    return IniFile::read(iniFile, QStringLiteral("freqvalue"), QStringLiteral("0"), QStringLiteral("ERROR"));
}

int displayFrequencyFromText(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw PlanFileError(QString(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

void writeDisplayFrequency(const QString &iniFile, int index)
{
    IniFile::write(iniFile, QStringLiteral("freqvalue"), QStringLiteral("0"), QString::number(index));
}

} // namespace PlanFiles
