#pragma once
#include "PlanChange.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

class Plan;

// Every change a person can make to a plan, each one routine over the Plan:
// the dialogs, the plan window's commands and the tools call these and never
// post rows themselves.
//
// Each routine is all or nothing: a change the tables refuse leaves every
// row, the cursors and the saved mark as they were, and says why. A change
// made marks the plan unsaved and hands back what it changed, to be undone
// and done again (PlanChange). The routines change rows only: the category
// trees, filters and pages are the caller's to bring up to date.
namespace PlanEdits {

// What a routine did: `error` is empty when the change was made (or there
// was nothing to change); `change` holds what changed.
struct PlanEdit
{
    QString error;
    PlanChange change;
    bool ok() const { return error.isEmpty(); }
};

// Field names and the values to give them.
using FieldValues = QList<std::pair<QString, QVariant>>;

// --- items: fields item, freq, amount, cat, catid, notes --------------------
// A new item; a duplicate category, kind and name is refused.
PlanEdit addItem(Plan &plan, const FieldValues &values);
// Changes the items table's current item. The reminders of the item as it
// was (kind, category and the first 20 characters of its name) follow a new
// category or name, unless another item still shares them.
PlanEdit changeItem(Plan &plan, const FieldValues &values);
// Deletes the current item with the reminders that belong to it alone.
PlanEdit deleteItem(Plan &plan);

// --- categories ------------------------------------------------------------------
PlanEdit addCategory(Plan &plan, const QString &kind, const QString &name);
// Renames the category (kind, former) and carries the new name into its
// items and reminders; an item whose new key another item holds keeps the
// former name. A name another category of the kind has is refused.
PlanEdit renameCategory(Plan &plan, const QString &kind, const QString &former, const QString &name);
// Deletes the category (kind, name) with every item and reminder filed under it.
PlanEdit deleteCategory(Plan &plan, const QString &kind, const QString &name);

// --- savings goals -------------------------------------------------------------------
// A new goal with its instalment; with less than one period between start
// and finish, refused with "You dont have enough time to save " + frequency.
PlanEdit addSavingsGoal(Plan &plan, const QString &description, const QString &frequency, const QDateTime &start,
                        const QDateTime &finish, double target);
// Changes the current goal (fields desc, amount, start, finish, freq, freqamount).
PlanEdit changeSavingsGoal(Plan &plan, const FieldValues &values);
PlanEdit deleteSavingsGoal(Plan &plan);

// --- loans: fields purpose, lender, amtborrowed, minpay, payfreq, start, loanlgth, finish, intrate
PlanEdit addLoan(Plan &plan, const FieldValues &values);
PlanEdit changeLoan(Plan &plan, const FieldValues &values);
PlanEdit deleteLoan(Plan &plan);

// --- reminders -------------------------------------------------------------------------
// One reminder of the item (kind, category, item) on each date, all described alike.
PlanEdit addReminders(Plan &plan, const QString &kind, const QString &category, const QString &item,
                      const QList<QDate> &dates, const QString &description);
// Changes the current reminder's date and description; it stays with its item.
PlanEdit changeReminder(Plan &plan, const QDate &date, const QString &description);
PlanEdit deleteReminder(Plan &plan);

// --- a whole plan -------------------------------------------------------------------------
// Every row of `source` (a plan read from a backup) takes the place of the
// plan's, as one change named `text`; `source` is left empty.
PlanEdit replacePlan(Plan &plan, Plan &source, const QString &text);

// --- Clear All ---------------------------------------------------------------------------
// "income" or "expense": every item of that kind (their reminders stay);
// "savings", "loan", "reminder": every row of that table, whatever is shown.
PlanEdit clearAll(Plan &plan, const QString &pagekind);

} // namespace PlanEdits
