#pragma once
#include <QString>

class Plan;

// Which reminders belong to which item.
namespace ItemRoutines {

// A reminder belongs to an item when the kind letter, the category and the
// item name as the reminder keeps it (its first 20 characters) all match.
// Two items whose names begin with the same 20 characters share their
// reminders: both show them, and they stay while either item remains.
//
// How many items the reminders of the item (kind, category, name) belong to.
int itemsSharingReminders(const Plan &plan, const QString &kind, const QString &category, const QString &item);

// Removes the reminders of the item (kind, category, name), unless another
// item shares them; returns how many were removed.
int deleteRemindersOf(Plan &plan, const QString &kind, const QString &category, const QString &item);

} // namespace ItemRoutines
