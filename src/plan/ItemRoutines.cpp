#include "ItemRoutines.h"
#include "CategoryTree.h"
#include "FieldDef.h"
#include "Plan.h"

namespace ItemRoutines {

namespace {

Table::Row itemKey(const Table &items, const QString &kind, const QString &category, const QString &item)
{
    Table::Row key(items.fields().size());
    key[items.fieldIndex("catid")] = kind;
    key[items.fieldIndex("cat")] = category;
    key[items.fieldIndex("item")] = item;
    return key;
}

} // namespace

int itemsSharingReminders(const Plan &plan, const QString &kind, const QString &category, const QString &item)
{
    const Table &reminders = plan.reminders();
    const Table &items = plan.items();
    Table::Row probe(reminders.fields().size());
    probe[reminders.fieldIndex("cat_id")] = kind;
    probe[reminders.fieldIndex("cat")] = category;
    probe[reminders.fieldIndex("item")] =
        normaliseFieldValue(reminders.fields().at(reminders.fieldIndex("item")), item);
    // Only items of that category and kind can match: when the items are in
    // order on those two first, they lie together.
    const QList<int> &order = items.orderFieldIndexes();
    const int cat = items.fieldIndex("cat");
    const int catid = items.fieldIndex("catid");
    const bool byCategory = order.size() >= 2 && order.at(0) == cat && order.at(1) == catid;
    const auto [from, to] = items.orderRange(itemKey(items, kind, category, item), byCategory ? 2 : 0);
    int count = 0;
    for (int i = from; i < to; ++i)
        if (reminders.belongsTo(probe, items.allRows()[static_cast<size_t>(i)]))
            ++count;
    return count;
}

int deleteRemindersOf(Plan &plan, const QString &kind, const QString &category, const QString &item)
{
    // Another item with the same kind, category and first 20 characters
    // keeps them: they may be its own.
    if (itemsSharingReminders(plan, kind, category, item) > 1)
        return 0;
    Table &reminders = plan.reminders();
    const Table::Row master = itemKey(plan.items(), kind, category, item);
    return reminders.removeDetailRowsOf(master);
}

} // namespace ItemRoutines
