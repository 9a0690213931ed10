#pragma once
#include <QStringList>

// `pursekeep-cli import|export|totals|due|report ...`. Each returns the process exit status.
int runImportCommand(const QStringList &args);
int runExportCommand(const QStringList &args);
int runTotalsCommand(const QStringList &args);
// `backups PLAN` lists the plan's backups; `restore PLAN N` puts one back.
int runBackupsCommand(const QStringList &args);
int runRestoreCommand(const QStringList &args);
// `due PLAN [--days N] [--today yyyy-MM-dd]` prints the reminders falling due.
int runDueCommand(const QStringList &args);
// `report plan PLAN --pdf FILE ...`, `report reminders PLAN --kind I|E ... --pdf FILE`
// and `report loan ... --pdf FILE` (LoanCommand.h).
int runReportCommand(const QStringList &args);
