#pragma once
#include "PlanFileError.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <vector>

class Plan;

// The earlier versions of a plan: every save that replaces a plan's files
// keeps the family it replaces (PlanFiles::SaveBackup), the last kKept per
// plan, in a folder of the plan's own below the backups folder (named after
// the plan's file and a hash of its real path, so every spelling of the path
// finds the same backups). A backup is a folder named after the time of the
// save (UTC) holding the family as "plan.pkb", "plan.pkbln", ...; it is
// written under another name and renamed into place once complete, so a
// backup is there whole or not at all.
namespace PlanBackups {

constexpr int kKept = 20;

// One file of a family as it is on the disk: the part of its name after the
// plan's main file ("", "ln", "sv", "cat", "rem", "ini") and its bytes.
struct OldFile
{
    QString suffix;
    QByteArray bytes;
};

// The plan's family as it is now, files that are missing left out. Throws
// FileFormatError when one of them cannot be read.
std::vector<OldFile> readFamily(const QString &planFile);

// The folder of the backups of the plan `planFile`, below `folder`.
QString planFolder(const QString &folder, const QString &planFile);

// Keeps `files` as the newest backup of the plan, taken at `when`, and
// removes the oldest beyond kKept. Throws FileWriteError with the system's
// reason when the backup cannot be written whole (nothing of it is left then).
void keep(const QString &folder, const QString &planFile, const std::vector<OldFile> &files, const QDateTime &when);

// One backup of a plan.
struct Backup
{
    QString path; // its folder
    QDateTime time; // when the save that replaced it ran (UTC)
    QString planFile() const; // the main file of its family, to open like any plan
};

// The plan's backups, newest first.
QList<Backup> list(const QString &folder, const QString &planFile);

// What a list shows of a backup: its number of items and the plan's balance a
// month at `now`, or why it cannot be read.
struct Summary
{
    int items = 0;
    double monthlyBalance = 0;
    QString problem;
};
Summary summarise(const Backup &backup, const QDateTime &now);

// "10/12/2026 14:03:05", in local time.
QString timeText(const Backup &backup);

// A backup in one line, as the lists show it: "10/12/2026 14:03:05  5 items
// $645.93 a month", or its time and why it cannot be read.
QString describe(const Backup &backup, const QDateTime &now);

// Reads the backup's tables into `plan` and gives its display frequency.
// Throws FileFormatError when it cannot be read; the plan is as it was then.
int load(const Backup &backup, Plan &plan);

} // namespace PlanBackups
