#pragma once
#include "PlanFileError.h"

#include <QString>

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
// While a save replaces the files: which new file goes where (P + ".saving").
QString journalFile(const QString &planFile);

// Reads one table file into `table`. Throws FileFormatError naming the file
// when it cannot be read or is not a valid packet for the table; the table is
// left as it was then.
void loadTable(Table &table, const QString &fileName);

// Loads the five tables of the plan whose main file is `planFile`: each file
// that exists replaces its table; a missing file leaves its table empty. All
// files are read before any table changes, so a bad file (FileFormatError)
// leaves the plan as it was. A save that a crash interrupted while it was
// replacing the files is finished first, so the family read is the new one.
void loadPlan(Plan &plan, const QString &planFile);

// Writes one table file: a failed write leaves the previous file whole.
// Throws FileWriteError naming the file, with the system's reason.
void saveTable(const Table &table, const QString &fileName);

// Writes the five table files all or nothing: every new file is complete on
// the disk before any old one is replaced, and after a failure
// (FileWriteError) every old file is as it was.
void savePlanTables(const Plan &plan, const QString &planFile);

// The whole family in one all-or-nothing save: the five table files and the
// display frequency in `settingsFile` (the rest of that file kept).
void savePlan(const Plan &plan, const QString &planFile, const QString &settingsFile, int displayFrequency);

// The settings value of a settings file as text, "ERROR" when it cannot be read.
QString readDisplayFrequencyText(const QString &iniFile);

// The text as an integer; throws PlanFileError with "'%s' is not a valid
// integer value" (%s the text) when it is not one.
int displayFrequencyFromText(const QString &text);

// Writes the display frequency index into the settings file, keeping the rest
// of the file. Throws FileWriteError.
void writeDisplayFrequency(const QString &iniFile, int index);

} // namespace PlanFiles
