#include "plan/DueReminders.h"
#include "plan/Plan.h"
#include "plan/Table.h"

#include <algorithm>

namespace DueReminders {

QDate dueDate(int year, int month, int dom)
{
    if (month < 1 || month > 12 || dom < 1 || dom > 31)
        return {};
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(dom, first.daysInMonth()));
}

QList<Due> within(const Plan &plan, const QDate &today, int days)
{
    QList<Due> due;
    if (!today.isValid() || days < 0)
        return due;
    const QDate last = today.addDays(days);
    const Table &reminders = plan.reminders();
    const int kind = reminders.fieldIndex(QStringLiteral("cat_id"));
    const int cat = reminders.fieldIndex(QStringLiteral("cat"));
    const int item = reminders.fieldIndex(QStringLiteral("item"));
    const int desc = reminders.fieldIndex(QStringLiteral("desc"));
    const int month = reminders.fieldIndex(QStringLiteral("month"));
    const int dom = reminders.fieldIndex(QStringLiteral("dom"));
    for (const Table::RowView row : reminders.allRows()) {
        const int m = row.value(month).toInt();
        const int d = row.value(dom).toInt();
        // The span may reach into the next year (and, for a long span, beyond).
        for (int year = today.year(); year <= last.year(); ++year) {
            const QDate date = dueDate(year, m, d);
            if (date.isValid() && date >= today && date <= last)
                due.append({date, row.value(kind).toString(), row.value(cat).toString(), row.value(item).toString(),
                            row.value(desc).toString()});
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Due &a, const Due &b) { return a.date < b.date; });
    return due;
}

} // namespace DueReminders
