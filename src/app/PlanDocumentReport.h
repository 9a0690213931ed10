#pragma once
#include "reports/PlanReport.h"

class PlanDocument;

// The plan report's input from a plan window: its plan, display frequency,
// stored totals and file name, the currency symbol and short date format in
// use, today's date (Clock) and the program folder.
PlanReportInput planReportInput(PlanDocument &document, const QString &programFolder);
