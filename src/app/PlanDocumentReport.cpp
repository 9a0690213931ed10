#include "app/PlanDocumentReport.h"

#include "plan/Clock.h"
#include "widgets/Format.h"
#include "widgets/PlanDocument.h"

PlanReportInput planReportInput(PlanDocument &document, const QString &programFolder)
{
    PlanReportInput input;
    input.plan = &document.plan();
    input.displayFrequencyName = document.displayFrequencyName();
    input.totals = document.totals();
    input.cursymbol = Format::currencySymbol();
    input.planfile = document.planfile();
    input.programFolder = programFolder;
    input.today = Clock::today();
    input.dateFormat = Format::shortDateFormat();
    return input;
}
