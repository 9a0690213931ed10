#pragma once
// The large plans the benchmarks work on: items spread evenly over the
// categories, every tenth with a note, and a number of reminders per item.
#include "plan/Frequency.h"
#include "plan/Plan.h"

#include <QDateTime>
#include <vector>

namespace BenchPlans {

inline QString categoryName(int c)
{
    return QStringLiteral("Cat%1").arg(c);
}
inline QString kindOf(int c)
{
    return c % 2 == 0 ? Kind::Income : Kind::Expense;
}
inline QString itemName(int i)
{
    return QStringLiteral("Item %1").arg(i, 6, 10, QLatin1Char('0'));
}

inline void fillPlan(Plan &plan, int items, int categories, int remindersPerItem)
{
    const QStringList freqs = Frequency::names();
    std::vector<Table::Row> cats;
    for (int c = 0; c < categories; ++c)
        cats.push_back({categoryName(c), kindOf(c)});
    plan.categories().setAllRows(std::move(cats));

    std::vector<Table::Row> rows;
    std::vector<Table::Row> reminders;
    rows.reserve(static_cast<size_t>(items));
    for (int i = 0; i < items; ++i) {
        const int c = i % categories;
        const QVariant note =
            i % 10 == 0 ? QVariant(QStringLiteral("Paid by standing order on the first")) : QVariant();
        rows.push_back(
            {itemName(i), freqs.at(i % freqs.size()), (i % 1000) * 1.25 + 0.5, categoryName(c), kindOf(c), note});
        for (int r = 0; r < remindersPerItem; ++r)
            reminders.push_back({kindOf(c), categoryName(c), itemName(i), 1 + r * 6,
                                 QStringLiteral("Reminder %1").arg(r), 1 + (i + r) % 12});
    }
    plan.items().setAllRows(std::move(rows));
    plan.reminders().setAllRows(std::move(reminders));

    std::vector<Table::Row> goals;
    std::vector<Table::Row> loans;
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0));
    for (int i = 0; i < 100; ++i) {
        goals.push_back({QStringLiteral("Goal %1").arg(i), 1000.0, start, start.addMonths(12 + i), "Monthly", 83.3333});
        loans.push_back(
            {QStringLiteral("Loan %1").arg(i), "Bank", 5000.0, 150.0, "Monthly", start, 36, start.addMonths(36), 6.5});
    }
    plan.savings().setAllRows(std::move(goals));
    plan.loans().setAllRows(std::move(loans));
}

} // namespace BenchPlans
