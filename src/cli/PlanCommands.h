#pragma once
#include <QStringList>

// `pursekeep-cli import|export|totals|report ...`. Each returns the process exit status.
int runImportCommand(const QStringList &args);
int runExportCommand(const QStringList &args);
int runTotalsCommand(const QStringList &args);
// `report plan PLAN --pdf FILE ...` and `report reminders PLAN --kind I|E ... --pdf FILE`.
int runReportCommand(const QStringList &args);
