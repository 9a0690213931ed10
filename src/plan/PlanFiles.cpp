#include "PlanFiles.h"
#include "DataPacket.h"
#include "FileWriter.h"
#include "IniFile.h"
#include "PlanBackups.h"
#include "Plan.h"
#include "PlanValues.h"
#include "RegularFile.h"
#include "PlanLock.h"

#include <QFile>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace PlanFiles {

QString loansFile(const QString &p)
{
    return p + QStringLiteral("ln");
}
QString savingsFile(const QString &p)
{
    return p + QStringLiteral("sv");
}
QString categoriesFile(const QString &p)
{
    return p + QStringLiteral("cat");
}
QString remindersFile(const QString &p)
{
    return p + QStringLiteral("rem");
}
QString settingsFile(const QString &p)
{
    return p + QStringLiteral("ini");
}
QString journalFile(const QString &p)
{
    return FileWriter::realPath(p) + QStringLiteral(".saving");
}

QStringList familyFiles(const QString &p)
{
    return {p, loansFile(p), savingsFile(p), categoriesFile(p), remindersFile(p), settingsFile(p)};
}

DiskState diskState(const QString &planFile)
{
    DiskState state;
    state.planFile = FileWriter::realPath(planFile);
    QStringList tables = familyFiles(planFile);
    tables.removeLast(); // the settings file: the display frequency is no plan data to lose
    for (const QString &file : std::as_const(tables)) {
        DiskState::File f;
        struct stat st
        {
        };
        if (::stat(QFile::encodeName(file).constData(), &st) == 0) {
            f.exists = true;
            f.device = st.st_dev;
            f.inode = st.st_ino;
            f.size = st.st_size;
            f.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        }
        state.files.push_back(f);
    }
    return state;
}

bool changedOnDisk(const DiskState &known, const QString &planFile)
{
    if (known.planFile.isEmpty() || known.planFile != FileWriter::realPath(planFile))
        return false;
    return diskState(planFile) != known;
}

namespace {

DataPacket::StoredRows readRows(const Table &table, const QString &fileName)
{
    // Only a regular file, and no more of it than a plan file can hold: a
    // named pipe or a device in a plan file's place is refused at once.
    const RegularFile::Contents file = RegularFile::read(fileName, kMaxTableFileSize);
    if (file.status == RegularFile::Status::TooLarge)
        throw FileFormatError(fileName,
                              QStringLiteral("\"%1\" is not a valid plan file: it is far too large").arg(fileName));
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
        throw FileFormatError(
            fileName,
            QStringLiteral("\"%1\" is not a valid plan file: row %2, field '%3': %4")
                .arg(fileName, QString::number(bad.row + 1), rows.table->fields().at(bad.field).name, bad.text));
    try {
        if (rows.stored)
            table.setStoredRowsFrom(*rows.table);
        else
            table.setAllRows(rows.table->allRows());
    } catch (const TableError &e) {
        throw FileFormatError(fileName,
                              QStringLiteral("\"%1\" is not a valid plan file: %2").arg(fileName, e.message()));
    }
}

} // namespace

void loadTable(Table &table, const QString &fileName)
{
    checkedAssign(table, readRows(table, fileName), fileName);
}

namespace {

// Holds the save lock of a plan for a load or a save. A folder where no lock
// can be made is one nobody can save into either, so the work goes on
// without it there.
class SaveGuard
{
public:
    SaveGuard(const QString &planFile, bool forWriting) : m_lock(planFile, PlanLock::Kind::Save)
    {
        constexpr int kWaitMs = 10000; // a save of the largest plan takes a fraction of it
        if (m_lock.tryLock(kWaitMs) == PlanLock::Result::HeldElsewhere) {
            const QString holder = m_lock.holder();
            const QString text =
                QStringLiteral("\"%1\" is being saved by another program%2; try again when it "
                               "has finished")
                    .arg(planFile, holder.isEmpty() ? QString() : QStringLiteral(" (") + holder + QStringLiteral(")"));
            if (forWriting)
                throw FileWriteError(planFile, text);
            throw FileFormatError(planFile, text);
        }
    }

private:
    PlanLock m_lock;
};

// Undoes a save that was cut short and removes what killed saves left: their
// new files and backups, and the open lock of a program that died (taken
// over and given up again; a lock of a running program stays).
void tidyFamily(const QString &planFile)
{
    const QStringList files = familyFiles(planFile);
    FileWriter::recover(journalFile(planFile), files);
    FileWriter::removeLeftovers(files, journalFile(planFile));
    if (QFileInfo::exists(PlanLock::fileName(planFile, PlanLock::Kind::Open))) {
        PlanLock open(planFile, PlanLock::Kind::Open);
        open.tryLock();
    }
}

QString missingText(const QString &file)
{
    const QFileInfo info(file);
    if (info.isSymLink())
        return QStringLiteral("%1 (a link to \"%2\", which does not exist)").arg(info.fileName(), info.symLinkTarget());
    return info.fileName();
}

} // namespace

Opened loadPlan(Plan &plan, const QString &planFile)
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
    SaveGuard guard(planFile, false);
    try {
        tidyFamily(planFile);
    } catch (const FileWriteError &e) {
        throw FileFormatError(
            e.fileName(),
            QStringLiteral("An interrupted save of \"%1\" cannot be undone: %2").arg(planFile, e.reason()));
    }
    // Read and check everything first on scratch tables.
    Opened opened;
    std::vector<std::unique_ptr<Table>> loaded;
    for (const Part &part : parts) {
        std::unique_ptr<Table> scratch(Plan::createTable(part.table->name()));
        if (QFileInfo::exists(part.file))
            checkedAssign(*scratch, readRows(*part.table, part.file), part.file);
        else
            opened.missing << missingText(part.file);
        loaded.push_back(std::move(scratch));
    }
    opened.state = diskState(planFile);
    for (size_t i = 0; i < std::size(parts); ++i)
        parts[i].table->takeRowsFrom(*loaded[i]);
    return opened;
}

void saveTable(const Table &table, const QString &fileName)
{
    FileWriter::writeFile(fileName, DataPacket::write(table));
}

namespace {

QByteArray tableFile(const Table &table, const QString &fileName)
{
    QByteArray bytes = DataPacket::write(table);
    if (bytes.size() > kMaxTableFileSize)
        throw FileWriteError(fileName,
                             QStringLiteral("\"%1\" cannot be written: the table would take %2 MB, more than the "
                                            "%3 MB a plan file may hold, so the plan could not be opened again")
                                 .arg(fileName)
                                 .arg((bytes.size() + (1 << 20) - 1) >> 20)
                                 .arg(kMaxTableFileSize >> 20));
    return bytes;
}

// Every table file made (and checked) before anything is written.
std::vector<FileBytes> tableFiles(const Plan &plan, const QString &planFile)
{
    // In the order of familyFiles().
    const Table *tables[] = {&plan.items(), &plan.loans(), &plan.savings(), &plan.categories(), &plan.reminders()};
    const QStringList names = familyFiles(planFile);
    std::vector<FileBytes> files;
    for (size_t i = 0; i < std::size(tables); ++i)
        files.push_back({names.at(qsizetype(i)), tableFile(*tables[i], names.at(qsizetype(i)))});
    return files;
}

} // namespace

void writeFamily(const std::vector<FileBytes> &files, const QString &planFile, SaveBackup *backup)
{
    SaveGuard guard(planFile, true);
    tidyFamily(planFile);
    // The family as it is, read under the lock: what the save replaces.
    std::vector<PlanBackups::OldFile> old;
    if (backup && QFileInfo::exists(planFile)) {
        try {
            old = PlanBackups::readFamily(planFile);
        } catch (const PlanFileError &e) {
            backup->problem = e.message();
        }
    }
    FileWriter writer;
    writer.setJournal(journalFile(planFile));
    for (const FileBytes &file : files)
        writer.add(file.path, file.bytes);
    writer.commit();
    if (!old.empty()) {
        try {
            PlanBackups::keep(backup->folder, planFile, old, QDateTime::currentDateTimeUtc());
            backup->kept = true;
        } catch (const FileWriteError &e) {
            backup->problem = e.reason();
        }
    }
}

void savePlanTables(const Plan &plan, const QString &planFile)
{
    writeFamily(tableFiles(plan, planFile), planFile);
}

std::vector<FileBytes> familyBytes(const Plan &plan, const QString &planFile, int displayFrequency)
{
    std::vector<FileBytes> files = tableFiles(plan, planFile);
    // The settings file is read before anything is written, so one that
    // cannot be read stops the save with every file untouched.
    const QString own = settingsFile(planFile);
    files.push_back(
        {own,
         IniFile::withValue(own, QStringLiteral("freqvalue"), QStringLiteral("0"), QString::number(displayFrequency))});
    return files;
}

DiskState savePlan(const Plan &plan, const QString &planFile, const QString &settingsCopy, int displayFrequency,
                   SaveBackup *backup)
{
    std::vector<FileBytes> files = familyBytes(plan, planFile, displayFrequency);
    // The copy elsewhere is no file of the plan: it is written once the plan
    // is saved (a failure there still fails the save).
    const QString own = settingsFile(planFile);
    const bool copy = !settingsCopy.isEmpty() && FileWriter::realPath(settingsCopy) != FileWriter::realPath(own);
    const QByteArray copied = copy ? IniFile::withValue(settingsCopy, QStringLiteral("freqvalue"), QStringLiteral("0"),
                                                        QString::number(displayFrequency))
                                   : QByteArray();
    writeFamily(files, planFile, backup);
    DiskState state = diskState(planFile);
    if (copy)
        FileWriter::writeFile(settingsCopy, copied);
    return state;
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
