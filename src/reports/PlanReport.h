#pragma once
#include "ReportLayout.h"

#include "plan/PlanTotals.h"
#include "plan/Table.h"

#include <QDate>
#include <QString>
#include <memory>

class BandedReport;
class Plan;

// What the plan report is built from: the plan window's plan, display
// frequency, stored totals and currency symbol, the plan's file name (for the
// title), the program folder and the date of the page header.
struct PlanReportInput
{
    Plan *plan = nullptr;
    QString displayFrequencyName;
    PlanTotals totals;
    QString cursymbol;
    QString planfile;
    QString programFolder;
    QDate today;
    QString dateFormat = QStringLiteral("dd/MM/yyyy"); // the program's short date format
};

// The printed plan (report QuickRep1 of frm_prtbudget): income and expense
// items grouped by category, savings goals and loans, each section closed by
// its total at the display frequency, and the balance at the end.
//
// Building it fills the report's own tables: kbmitems (income items),
// kbmitemsexp (expense items), kbmsavings and kbmloans (every goal and loan),
// copies with the plan tables' fields, in the plan tables' order. The rows are
// chosen by the kind filters without switching the plan's tables to them, so
// their filters, switches and cursors stay exactly as they were.
class PlanReport
{
public:
    explicit PlanReport(const PlanReportInput &input);
    ~PlanReport();

    const Table &kbmitems() const { return *m_items; }
    const Table &kbmitemsexp() const { return *m_itemsExp; }
    const Table &kbmsavings() const { return *m_savings; }
    const Table &kbmloans() const { return *m_loans; }

    QString title() const { return m_title; }
    QString qrlpath() const { return m_input.programFolder; }

    // The report laid out into pages.
    ReportLayout layout() const;

    // The file-name part of a plan file without its extension: "home" for
    // "/data/home.pkb", "Untitled1" for "Untitled1".
    static QString titleFor(const QString &planfile);

private:
    void addItemSection(BandedReport &report, const Table &items, const QString &headerBand, const QString &caption,
                        const QString &groupBand, const QString &detailName) const;

    PlanReportInput m_input;
    QString m_title;
    std::unique_ptr<Table> m_items;
    std::unique_ptr<Table> m_itemsExp;
    std::unique_ptr<Table> m_savings;
    std::unique_ptr<Table> m_loans;
};
