#include "PlanTotals.h"
#include "CalendarTime.h"
#include "Frequency.h"
#include "MoneyFormat.h"
#include "Plan.h"

#include <utility>

namespace {

// The day count of a frequency text, looked up again only when the text
// differs from the one before (rows read from a file even share the very
// same text, which needs no comparing).
class DayCounts
{
public:
    double of(const QString &frequency)
    {
        const bool same = frequency.size() == m_last.size() && frequency.constData() == m_last.constData();
        if (!same && frequency != m_last)
            m_days = Frequency::dayCount(frequency);
        m_last = frequency;
        return m_days;
    }

private:
    QString m_last;
    double m_days = Frequency::dayCount(QString());
};

// Sum over rows of amount / day count(freq), for rows whose finish (when
// given) lies after `now`.
double perDaySum(const Table &table, int amountField, int freqField, int finishField, const QDateTime &now)
{
    DayCounts dayCounts;
    double sum = 0;
    for (const Table::RowView row : table.allRows()) {
        if (finishField >= 0) {
            const QDateTime finish = row.at(finishField).toDateTime();
            if (!finish.isValid() || !CalendarTime::isAfter(finish, now))
                continue;
        }
        const double days = dayCounts.of(row.toString(freqField));
        if (days == 0)
            continue;
        sum += row.at(amountField).toDouble() / days;
    }
    return sum;
}

// The income and the expense a day, each summed in the items' order, in one
// pass over the items.
std::pair<double, double> itemsPerDay(const Table &items)
{
    const int amountField = items.fieldIndex("amount");
    const int freqField = items.fieldIndex("freq");
    const int kindField = items.fieldIndex("catid");
    DayCounts dayCounts;
    double income = 0;
    double expense = 0;
    for (const Table::RowView row : items.allRows()) {
        const QString kind = row.toString(kindField);
        double *sum = kind == Kind::Income ? &income : (kind == Kind::Expense ? &expense : nullptr);
        if (!sum)
            continue;
        const double days = dayCounts.of(row.toString(freqField));
        if (days == 0)
            continue;
        *sum += row.at(amountField).toDouble() / days;
    }
    return {income, expense};
}

} // namespace

PlanTotals computePlanTotals(const Plan &plan, const QString &targetFrequency, const QDateTime &now)
{
    const auto [incomePerDay, expensePerDay] = itemsPerDay(plan.items());

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
