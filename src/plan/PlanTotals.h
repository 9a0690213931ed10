#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

class Plan;

// The five totals of a plan, per period of one frequency.
struct PlanTotals
{
    double income = 0;
    double expense = 0;
    double savings = 0;
    double loans = 0;
    double balance = 0;
};

// The plan totals: every item's amount per day by kind, every goal's
// instalment and every loan's payment per day while its finish lies after
// `now`, each sum times the target frequency's day count. The balance is taken
// from the unrounded sums; then balance, income and expense are rounded to two
// decimals (halves away from zero); savings and loans keep full precision.
// Every row counts, whatever filter or link is in force.
PlanTotals computePlanTotals(const Plan &plan, const QString &targetFrequency, const QDateTime &now);

// The five status-bar texts: "Income Total: $1000.00", "Expense Total: ...",
// "Savings Goals: ...", "Total Loans: ...", "Balance: -$12.50".
QStringList statusBarTexts(const PlanTotals &totals, const QString &currencySymbol);
