#pragma once
#include "PlanTotals.h"

#include <QList>
#include <QString>

class Plan;

// The bars of the plan window's chart, one (label, value) pair each, in the
// order they are drawn.
namespace ChartBars {

enum class Choice { IncomeCategories = 0, ExpenseCategories, SavingsItems, Loans, Summary };

struct Bar
{
    QString label;
    double value = 0;
};

// Category choices: one bar per category of the kind, in the categories
// table's order, valued at the sum of its items' stored amounts (each in its
// own frequency, not converted; 0 for a category without items). Savings: each
// goal's target; loans: each loan's amount borrowed, labelled by the lender.
// Summary: the stored totals, not recomputed. The tables' filters are not
// touched.
QList<Bar> bars(const Plan &plan, Choice choice, const PlanTotals &totals);

// A bar's value as the legend writes it: "#,##0.###" (grouped thousands, at
// most three decimals, halves away from zero, no trailing zeros).
QString legendNumber(double value);

} // namespace ChartBars
