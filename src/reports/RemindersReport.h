#pragma once
#include "ReportLayout.h"

#include "plan/Table.h"

#include <memory>

class Plan;

// The printed reminders (report QuickRep1 of frm_print_reminders): the
// reminders the plan's reminders table presents (as the reminders page has
// filtered it), grouped by category and in month and day order within each.
// Building it copies those rows into the report's own table kbm_remind, sorted
// on cat;month;dom; the plan's table is not changed.
class RemindersReport
{
public:
    RemindersReport(const Plan &plan, const QString &title);
    ~RemindersReport();

    const Table &kbm_remind() const { return *m_remind; }
    QString title() const { return m_title; }

    ReportLayout layout() const;

    // The title of the reminders page: "Income Reminders" or "Expense
    // Reminders", with " For : " and the month name when `month` is 1..12.
    static QString titleFor(const QString &kindLetter, int month = 0);
    // The reminders page's filter: "cat_id = 'E'", with " and month = '3'"
    // when `month` is 1..12.
    static QString filterFor(const QString &kindLetter, int month = 0);
    // "January" .. "December"; empty outside 1..12.
    static QString monthName(int month);

private:
    QString m_title;
    std::unique_ptr<Table> m_remind;
};
