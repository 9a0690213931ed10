#pragma once
#include "PlanFileError.h"

#include <QString>
#include <QStringList>

#include <vector>

class Plan;
class Table;

// The six files of a plan with main file P: P (items), P+"ln" (loans),
// P+"sv" (savings), P+"cat" (categories), P+"rem" (reminders) and P+"ini"
// (settings: section "freqvalue", key "0", the display frequency index).
namespace PlanFiles {

QString loansFile(const QString &planFile);
QString savingsFile(const QString &planFile);
QString categoriesFile(const QString &planFile);
QString remindersFile(const QString &planFile);
QString settingsFile(const QString &planFile);
// While a save replaces the files: which new file goes where (P + ".saving",
// beside the real main file whatever the spelling of P).
QString journalFile(const QString &planFile);
// The five table files and the settings file, main file first.
QStringList familyFiles(const QString &planFile);

// Far beyond any household plan (100,000 items take under 6 MB); keeps a huge
// wrong file from being read into memory several times over. A save refuses
// to write a table file past it, so every plan saved can be opened again.
constexpr qint64 kMaxTableFileSize = 128LL << 20;

// What the table files of a plan were on the disk (their identity, size and
// time of change), to tell whether another program replaced or changed them.
struct DiskState
{
    struct File
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modified = 0; // nanoseconds
        bool operator==(const File &) const = default;
    };
    QString planFile; // the real path of the main file; empty: nothing known
    std::vector<File> files;
    bool operator==(const DiskState &) const = default;
};
DiskState diskState(const QString &planFile);
// True when `known` is of this plan and its files on the disk are no longer
// the ones it describes.
bool changedOnDisk(const DiskState &known, const QString &planFile);

// What opening a plan found.
struct Opened
{
    // The table files of the family that are not there (or are links to
    // nothing), each described for a person: "home.pkbln", or
    // "home.pkbsv (a link to "/mnt/x/home.pkbsv", which does not exist)".
    QStringList missing;
    DiskState state;
};

// Reads one table file into `table`. Throws FileFormatError naming the file
// when it cannot be read or is not a valid packet for the table; the table is
// left as it was then.
void loadTable(Table &table, const QString &fileName);

// Loads the five tables of the plan whose main file is `planFile`: each file
// that exists replaces its table; a missing file leaves its table empty and
// is named in the result. All files are read before any table changes, so a
// bad file (FileFormatError) leaves the plan as it was. It is read under the
// plan's save lock: a save that a crash interrupted is undone first (the
// family read is the old one, whole), and what killed saves left beside the
// files is removed.
Opened loadPlan(Plan &plan, const QString &planFile);

// Writes one table file: a failed write leaves the previous file whole.
// Throws FileWriteError naming the file, with the system's reason.
void saveTable(const Table &table, const QString &fileName);

// The new content of a plan's files, made (and checked) before anything is
// written: the five table files and the settings file with the display
// frequency (the rest of that file kept), main file first.
struct FileBytes
{
    QString path;
    QByteArray bytes;
};
std::vector<FileBytes> familyBytes(const Plan &plan, const QString &planFile, int displayFrequency);

// Where a save keeps the family it replaces (PlanBackups), and what became of
// that backup: none when the plan had no files yet, and a backup that cannot
// be kept (a full disk) does not stop the save: `problem` says why.
struct SaveBackup
{
    QString folder; // the folder of every plan's backups
    bool kept = false;
    QString problem;
};

// Writes `files` (familyBytes) all or nothing under the plan's save lock; with
// `backup`, the family replaced is kept among the plan's backups once the
// save is done.
void writeFamily(const std::vector<FileBytes> &files, const QString &planFile, SaveBackup *backup = nullptr);

// Writes the five table files all or nothing: every new file is complete on
// the disk before any old one is replaced, and after a failure
// (FileWriteError) every old file is as it was.
void savePlanTables(const Plan &plan, const QString &planFile);

// The whole family in one all-or-nothing save, under the plan's save lock:
// the five table files and the display frequency in the settings file beside
// the plan (the rest of that file kept). A table too large to be read again
// is refused before anything is written. Once the family is saved, the
// display frequency goes into `settingsCopy` too when that is another file.
// Returns the family's state on the disk after the save. With `backup`, the
// family the save replaces is kept as a backup (SaveBackup).
DiskState savePlan(const Plan &plan, const QString &planFile, const QString &settingsCopy, int displayFrequency,
                   SaveBackup *backup = nullptr);

// The settings value of a settings file as text, "ERROR" when it cannot be read.
QString readDisplayFrequencyText(const QString &iniFile);

// The text as an integer; throws PlanFileError with "'%s' is not a valid
// integer value" (%s the text) when it is not one.
int displayFrequencyFromText(const QString &text);

// Writes the display frequency index into the settings file, keeping the rest
// of the file. Throws FileWriteError.
void writeDisplayFrequency(const QString &iniFile, int index);

} // namespace PlanFiles
