#include "PlanCommands.h"
int runImportCommand(const QStringList &) { return 2; }
int runExportCommand(const QStringList &) { return 2; }
int runTotalsCommand(const QStringList &) { return 2; }
