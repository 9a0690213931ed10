#include "PlanEdits.h"
#include "plan/PageKind.h"
#include "FieldDef.h"
#include "ItemRoutines.h"
#include "Plan.h"
#include "Savings.h"

#include <array>

namespace PlanEdits {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

std::array<Table *, PlanChange::TableCount> tablesOf(Plan &plan)
{
    return {&plan.items(), &plan.savings(), &plan.loans(), &plan.categories(), &plan.reminders()};
}

// Runs `body` as one change named `text`, recording it. A refusal (a
// TableError, or a message `body` returns) undoes whatever `body` had done
// and puts every cursor back: the plan is left exactly as it was.
template <typename Body>
PlanEdit run(Plan &plan, const QString &text, Body &&body)
{
    PlanEdit edit{QString(), PlanChange(text)};
    const auto tables = tablesOf(plan);
    std::array<int, PlanChange::TableCount> current{};
    for (size_t i = 0; i < tables.size(); ++i) {
        tables[i]->cancel();
        current[i] = tables[i]->currentRow();
    }
    try {
        const PlanChange::Recording recording(plan, edit.change);
        edit.error = body();
    } catch (const TableError &e) {
        edit.error = e.message();
    }
    if (edit.error.isEmpty()) {
        if (!edit.change.isEmpty())
            plan.setSaved(false);
        return edit;
    }
    for (Table *table : tables)
        table->cancel();
    edit.change.rollBack(plan);
    for (size_t i = 0; i < tables.size(); ++i)
        if (edit.change.touches(static_cast<int>(i)) && current[i] >= 0 && current[i] < tables[i]->rowCount())
            tables[i]->goTo(current[i]);
    edit.change = PlanChange();
    return edit;
}

void setValues(Table &table, const FieldValues &values)
{
    for (const auto &[field, value] : values)
        table.setValue(field, value);
}

QVariant valueOf(const FieldValues &values, const QString &field)
{
    for (const auto &[name, value] : values)
        if (name == field)
            return value;
    return QVariant();
}

PlanEdit insertRow(Plan &plan, Table &table, const QString &text, const FieldValues &values)
{
    return run(plan, text, [&] {
        table.insert();
        setValues(table, values);
        table.post();
        return QString();
    });
}

PlanEdit changeCurrent(Plan &plan, Table &table, const QString &text, const FieldValues &values)
{
    if (table.currentRow() < 0)
        return {};
    return run(plan, text, [&] {
        table.edit();
        setValues(table, values);
        table.post();
        return QString();
    });
}

PlanEdit removeCurrent(Plan &plan, Table &table, const QString &text)
{
    if (table.currentRow() < 0)
        return {};
    return run(plan, text, [&] {
        table.remove();
        return QString();
    });
}

// Whether a row's kind and category fields hold `kind` and `category`.
auto inCategory(const Table &table, const char *kindField, const QString &kind, const QString &category)
{
    const int kindAt = table.fieldIndex(QLatin1String(kindField));
    const int catAt = table.fieldIndex(QStringLiteral("cat"));
    return [=](const Table::RowView &row) { return row.toString(kindAt) == kind && row.toString(catAt) == category; };
}

} // namespace

// --- items ---------------------------------------------------------------------------

PlanEdit addItem(Plan &plan, const FieldValues &values)
{
    return insertRow(plan, plan.items(), QStringLiteral("Add Item ") + quoted(valueOf(values, "item").toString()),
                     values);
}

PlanEdit changeItem(Plan &plan, const FieldValues &values)
{
    Table &items = plan.items();
    if (items.currentRow() < 0)
        return {};
    const QString kind = items.asString("catid");
    const QString formerCat = items.asString("cat");
    const QString formerItem = items.asString("item");
    return run(plan, QStringLiteral("Change Item ") + quoted(formerItem), [&] {
        items.edit();
        setValues(items, values);
        const QString cat = items.asString("cat");
        const QString item = items.asString("item");
        items.post();
        if ((cat == formerCat && item == formerItem)
            || ItemRoutines::itemsSharingReminders(plan, kind, formerCat, formerItem) > 0)
            return QString();
        Table &reminders = plan.reminders();
        Table::Row former(items.fields().size());
        former[items.fieldIndex("catid")] = kind;
        former[items.fieldIndex("cat")] = formerCat;
        former[items.fieldIndex("item")] = formerItem;
        const int catField = reminders.fieldIndex("cat");
        const int itemField = reminders.fieldIndex("item");
        reminders.changeRowsWhere([&](const Table::RowView &row) { return reminders.belongsTo(row, former); },
                                  [&](Table::Row &row) {
                                      row[catField] = cat;
                                      row[itemField] = item;
                                  });
        return QString();
    });
}

PlanEdit deleteItem(Plan &plan)
{
    Table &items = plan.items();
    if (items.currentRow() < 0)
        return {};
    return run(plan, QStringLiteral("Delete Item ") + quoted(items.asString("item")), [&] {
        ItemRoutines::deleteRemindersOf(plan, items.asString("catid"), items.asString("cat"), items.asString("item"));
        items.remove();
        return QString();
    });
}

// --- categories ----------------------------------------------------------------------

PlanEdit addCategory(Plan &plan, const QString &kind, const QString &name)
{
    return insertRow(plan, plan.categories(), QStringLiteral("Add Category ") + quoted(name),
                     {{QStringLiteral("cat"), name}, {QStringLiteral("catid"), kind}});
}

PlanEdit renameCategory(Plan &plan, const QString &kind, const QString &former, const QString &name)
{
    Table &cats = plan.categories();
    const QString stored = normaliseFieldValue(cats.fields().at(cats.fieldIndex("cat")), name).toString();
    if (stored == former)
        return {};
    PlanEdit edit = run(plan, QStringLiteral("Rename Category ") + quoted(former), [&] {
        const auto rename = [&](Table &table, const char *kindField, bool refuseDoubles) {
            const int catAt = table.fieldIndex("cat");
            return table.changeRowsWhere(
                inCategory(table, kindField, kind, former), [&](Table::Row &row) { row[catAt] = stored; },
                refuseDoubles);
        };
        if (rename(cats, "catid", true) == 0)
            return QStringLiteral("There is no %1 category \"%2\"")
                .arg(kind == Kind::Expense ? PageKind::Expense : PageKind::Income, former);
        rename(plan.reminders(), "cat_id", false);
        rename(plan.items(), "catid", false);
        return QString();
    });
    if (edit.ok())
        edit.change.setRenamed({kind, former, stored});
    return edit;
}

PlanEdit deleteCategory(Plan &plan, const QString &kind, const QString &name)
{
    return run(plan, QStringLiteral("Delete Category ") + quoted(name), [&] {
        plan.reminders().removeRowsWhere(inCategory(plan.reminders(), "cat_id", kind, name));
        plan.items().removeRowsWhere(inCategory(plan.items(), "catid", kind, name));
        plan.categories().removeRowsWhere(inCategory(plan.categories(), "catid", kind, name));
        return QString();
    });
}

// --- savings goals ---------------------------------------------------------------------

PlanEdit addSavingsGoal(Plan &plan, const QString &description, const QString &frequency, const QDateTime &start,
                        const QDateTime &finish, double target)
{
    const std::optional<double> each = Savings::instalment(frequency, start, finish, target);
    if (!each)
        return {QStringLiteral("You dont have enough time to save ") + frequency, {}};
    return insertRow(plan, plan.savings(), QStringLiteral("Add Savings Goal ") + quoted(description),
                     {{QStringLiteral("desc"), description},
                      {QStringLiteral("freq"), frequency},
                      {QStringLiteral("amount"), target},
                      {QStringLiteral("freqamount"), *each},
                      {QStringLiteral("start"), start},
                      {QStringLiteral("finish"), finish}});
}

PlanEdit changeSavingsGoal(Plan &plan, const FieldValues &values)
{
    Table &goals = plan.savings();
    return changeCurrent(plan, goals, QStringLiteral("Change Savings Goal ") + quoted(goals.asString("desc")), values);
}

PlanEdit deleteSavingsGoal(Plan &plan)
{
    Table &goals = plan.savings();
    return removeCurrent(plan, goals, QStringLiteral("Delete Savings Goal ") + quoted(goals.asString("desc")));
}

// --- loans -----------------------------------------------------------------------------

PlanEdit addLoan(Plan &plan, const FieldValues &values)
{
    return insertRow(plan, plan.loans(), QStringLiteral("Add Loan ") + quoted(valueOf(values, "purpose").toString()),
                     values);
}

PlanEdit changeLoan(Plan &plan, const FieldValues &values)
{
    Table &loans = plan.loans();
    return changeCurrent(plan, loans, QStringLiteral("Change Loan ") + quoted(loans.asString("purpose")), values);
}

PlanEdit deleteLoan(Plan &plan)
{
    Table &loans = plan.loans();
    return removeCurrent(plan, loans, QStringLiteral("Delete Loan ") + quoted(loans.asString("purpose")));
}

// --- reminders -------------------------------------------------------------------------

PlanEdit addReminders(Plan &plan, const QString &kind, const QString &category, const QString &item,
                      const QList<QDate> &dates, const QString &description)
{
    if (dates.isEmpty())
        return {};
    const QString text =
        (dates.size() == 1 ? QStringLiteral("Add Reminder ") : QStringLiteral("Add Reminders ")) + quoted(description);
    return run(plan, text, [&] {
        Table &reminders = plan.reminders();
        for (const QDate &date : dates) {
            reminders.insert();
            setValues(reminders,
                      {{QStringLiteral("cat_id"), kind},
                       {QStringLiteral("cat"), category},
                       {QStringLiteral("item"), item},
                       {QStringLiteral("month"), date.month()},
                       {QStringLiteral("dom"), date.day()},
                       {QStringLiteral("desc"), description}});
            reminders.post();
        }
        return QString();
    });
}

PlanEdit changeReminder(Plan &plan, const QDate &date, const QString &description)
{
    Table &reminders = plan.reminders();
    return changeCurrent(plan, reminders, QStringLiteral("Change Reminder ") + quoted(reminders.asString("desc")),
                         {{QStringLiteral("month"), date.month()},
                          {QStringLiteral("dom"), date.day()},
                          {QStringLiteral("desc"), description}});
}

PlanEdit deleteReminder(Plan &plan)
{
    Table &reminders = plan.reminders();
    return removeCurrent(plan, reminders, QStringLiteral("Delete Reminder ") + quoted(reminders.asString("desc")));
}

// --- a whole plan -------------------------------------------------------------------------

PlanEdit replacePlan(Plan &plan, Plan &source, const QString &text)
{
    return run(plan, text, [&] {
        plan.items().takeRowsFrom(source.items());
        plan.savings().takeRowsFrom(source.savings());
        plan.loans().takeRowsFrom(source.loans());
        plan.categories().takeRowsFrom(source.categories());
        plan.reminders().takeRowsFrom(source.reminders());
        return QString();
    });
}

// --- Clear All -------------------------------------------------------------------------

PlanEdit clearAll(Plan &plan, const QString &pagekind)
{
    const auto everything = [](const Table::RowView &) { return true; };
    if (pagekind == PageKind::Income || pagekind == PageKind::Expense) {
        const bool income = pagekind == PageKind::Income;
        const QString letter = income ? Kind::Income : Kind::Expense;
        const int kindAt = plan.items().fieldIndex("catid");
        return run(
            plan, income ? QStringLiteral("Clear All Income Items") : QStringLiteral("Clear All Expense Items"), [&] {
                plan.items().removeRowsWhere([&](const Table::RowView &row) { return row.toString(kindAt) == letter; });
                return QString();
            });
    }
    Table *table = pagekind == QLatin1String("savings") ? &plan.savings()
        : pagekind == QLatin1String("loan")             ? &plan.loans()
        : pagekind == QLatin1String("reminder")         ? &plan.reminders()
                                                        : nullptr;
    if (!table)
        return {};
    const QString text = table == &plan.savings() ? QStringLiteral("Clear All Savings Items")
        : table == &plan.loans()                  ? QStringLiteral("Clear All Loan Items")
                                                  : QStringLiteral("Clear All Reminders");
    return run(plan, text, [&] {
        table->removeRowsWhere(everything);
        return QString();
    });
}

} // namespace PlanEdits
