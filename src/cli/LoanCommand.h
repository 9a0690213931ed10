#pragma once
#include <QStringList>

// `pursekeep-cli loan ...`: runs the loan calculator's three calculations and
// writes the loan calculation text file. Returns the process exit status.
int runLoanCommand(const QStringList &args);
