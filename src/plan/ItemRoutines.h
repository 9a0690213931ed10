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
// delete the current item with every reminder that belongs to it (matched on
// category and the item name's first 20 characters, whatever filter the
// reminders carry); "savings" the current goal; "loan" the current loan;
// anything else nothing. Then rebuilds the category trees.
void deleteCurrent(Plan &plan, const QString &pagekind);

// Removes every reminder that belongs to the item (category, name).
int deleteRemindersOf(Plan &plan, const QString &category, const QString &item);

} // namespace ItemRoutines
