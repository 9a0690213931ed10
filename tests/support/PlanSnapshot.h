#pragma once
#include "plan/Plan.h"

#include <QStringList>
#include <vector>

// Every row of a plan's five tables, in their order, whatever filter or link
// is shown: two equal snapshots are two plans with the same rows in the same
// places.
struct PlanSnapshot
{
    std::vector<Table::Row> items, savings, loans, categories, reminders;
    explicit PlanSnapshot(const Plan &plan)
        : items(plan.items().allRows()), savings(plan.savings().allRows()), loans(plan.loans().allRows()),
          categories(plan.categories().allRows()), reminders(plan.reminders().allRows())
    {
    }
    bool operator==(const PlanSnapshot &) const = default;
};

// What QCOMPARE prints of a snapshot that differs: one line a table.
inline char *toString(const PlanSnapshot &s)
{
    QString out;
    const auto table = [&](const char *name, const std::vector<Table::Row> &rows) {
        out += QLatin1String(name) + QLatin1Char(':');
        for (const Table::Row &row : rows) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << v.toString();
            out += QLatin1Char('[') + cells.join(u'|') + QLatin1Char(']');
        }
        out += QLatin1Char('\n');
    };
    table("items", s.items);
    table("savings", s.savings);
    table("loans", s.loans);
    table("categories", s.categories);
    table("reminders", s.reminders);
    return qstrdup(out.toUtf8().constData());
}
