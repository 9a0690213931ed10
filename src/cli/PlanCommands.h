#pragma once
#include <QStringList>

// `pursekeep-cli import|export|totals ...`. Each returns the process exit status.
int runImportCommand(const QStringList &args);
int runExportCommand(const QStringList &args);
int runTotalsCommand(const QStringList &args);
