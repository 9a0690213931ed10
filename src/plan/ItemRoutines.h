#pragma once
#include <QString>

class Plan;

// The add-item and delete routines on a plan's tables.
namespace ItemRoutines {

// Adds an item (amount rounded to four decimals), marks the plan changed and
// rebuilds the category trees. A duplicate category, kind and name is refused:
// returns the table's message followed by " : Item and Category Already
// Exists" and adds nothing; an empty string means the item was added.
QString addItem(Plan &plan, const QString &item, const QString &category, const QString &frequency,
                double amount, const QString &kindLetter, const QString &notes);

// Deletes the current row of the table `pagekind` names: "income"/"expense"
// delete the current item with the reminders that belong to it alone
// (whatever filter the reminders carry); "savings" the current goal; "loan"
// the current loan; anything else nothing. Then rebuilds the category trees.
void deleteCurrent(Plan &plan, const QString &pagekind);

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
