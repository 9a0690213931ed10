#pragma once
#include <QStringList>

// `pursekeep-cli loan ...`: runs the loan calculator's three calculations and
// writes the loan calculation text file. Returns the process exit status.
int runLoanCommand(const QStringList &args);
// `pursekeep-cli report loan ... --pdf FILE`: the same options and calculations,
// then the printed loan report of the page as a PDF file.
int runLoanReportCommand(const QStringList &args);
