#include "ItemRoutines.h"
#include "CategoryTree.h"
#include "Plan.h"

namespace ItemRoutines {

QString addItem(Plan &plan, const QString &item, const QString &category, const QString &frequency,
                double amount, const QString &kindLetter, const QString &notes)
{
    plan.setSaved(false);
    Table &t = plan.items();
    try {
        t.insert();
        t.setValue("item", item);
        t.setValue("freq", frequency);
        t.setValue("amount", amount);
        t.setValue("cat", category);
        t.setValue("catid", kindLetter);
        t.setValue("notes", notes);
        t.post();
    } catch (const TableError &e) {
        t.cancel();
        return e.message() + QStringLiteral(" : Item and Category Already Exists");
    }
    rebuildCategoryTrees(plan);
    return QString();
}

int deleteRemindersOf(Plan &plan, const QString &category, const QString &item)
{
    Table &reminders = plan.reminders();
    Table::Row master(plan.items().fields().size());
    master[plan.items().fieldIndex("cat")] = category;
    master[plan.items().fieldIndex("item")] = item;
    return reminders.removeRowsWhere(
        [&](const Table::Row &row) { return reminders.belongsTo(row, master); });
}

void deleteCurrent(Plan &plan, const QString &pagekind)
{
    if (pagekind == QLatin1String("income") || pagekind == QLatin1String("expense")) {
        Table &items = plan.items();
        if (items.currentRow() >= 0) {
            deleteRemindersOf(plan, items.asString("cat"), items.asString("item"));
            items.remove();
        }
    } else if (pagekind == QLatin1String("savings")) {
        if (plan.savings().currentRow() >= 0)
            plan.savings().remove();
    } else if (pagekind == QLatin1String("loan")) {
        if (plan.loans().currentRow() >= 0)
            plan.loans().remove();
    }
    rebuildCategoryTrees(plan);
}

} // namespace ItemRoutines
