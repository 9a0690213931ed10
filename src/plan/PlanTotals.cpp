#include "PlanTotals.h"
#include "CalendarTime.h"
#include "Frequency.h"
#include "MoneyFormat.h"
#include "Plan.h"

namespace {

// Sum over rows of amount / day count(freq), for rows whose finish (when
// given) lies after `now`.
double perDaySum(const Table &table, int amountField, int freqField, int finishField, const QDateTime &now,
                 int kindField = -1, const QString &kind = QString())
{
    double sum = 0;
    for (const Table::RowView row : table.allRows()) {
        if (kindField >= 0 && row.toString(kindField) != kind)
            continue;
        if (finishField >= 0) {
            const QDateTime finish = row.at(finishField).toDateTime();
            if (!finish.isValid() || !CalendarTime::isAfter(finish, now))
                continue;
        }
        const double days = Frequency::dayCount(row.toString(freqField));
        if (days == 0)
            continue;
        sum += row.at(amountField).toDouble() / days;
    }
    return sum;
}

} // namespace

PlanTotals computePlanTotals(const Plan &plan, const QString &targetFrequency, const QDateTime &now)
{
    const Table &items = plan.items();
    const int amount = items.fieldIndex("amount");
    const int freq = items.fieldIndex("freq");
    const int catid = items.fieldIndex("catid");
    const double incomePerDay = perDaySum(items, amount, freq, -1, now, catid, Kind::Income);
    const double expensePerDay = perDaySum(items, amount, freq, -1, now, catid, Kind::Expense);

    const Table &savings = plan.savings();
    const double savingsPerDay = perDaySum(savings, savings.fieldIndex("freqamount"), savings.fieldIndex("freq"),
                                           savings.fieldIndex("finish"), now);
    const Table &loans = plan.loans();
    const double loansPerDay =
        perDaySum(loans, loans.fieldIndex("minpay"), loans.fieldIndex("payfreq"), loans.fieldIndex("finish"), now);

    const double days = Frequency::dayCount(targetFrequency);
    PlanTotals t;
    t.income = incomePerDay * days;
    t.expense = expensePerDay * days;
    t.savings = savingsPerDay * days;
    t.loans = loansPerDay * days;
    t.balance = t.income - (t.expense + t.savings + t.loans);

    t.balance = MoneyFormat::roundHalfAwayFromZero(t.balance, 2);
    t.income = MoneyFormat::roundHalfAwayFromZero(t.income, 2);
    t.expense = MoneyFormat::roundHalfAwayFromZero(t.expense, 2);
    return t;
}

QStringList statusBarTexts(const PlanTotals &totals, const QString &symbol)
{
    return {
        QStringLiteral("Income Total: ") + MoneyFormat::moneyText(totals.income, symbol),
        QStringLiteral("Expense Total: ") + MoneyFormat::moneyText(totals.expense, symbol),
        QStringLiteral("Savings Goals: ") + MoneyFormat::moneyText(totals.savings, symbol),
        QStringLiteral("Total Loans: ") + MoneyFormat::moneyText(totals.loans, symbol),
        QStringLiteral("Balance: ") + MoneyFormat::moneyText(totals.balance, symbol),
    };
}
