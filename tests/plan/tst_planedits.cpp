#include "PlanSnapshot.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"

#include <QRandomGenerator>
#include <QTest>

using namespace PlanEdits;

namespace {

QDateTime day(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0));
}

using Snapshot = PlanSnapshot;

void addItem(Plan &plan, const QString &kind, const QString &cat, const QString &item, double amount)
{
    const PlanEdit edit = PlanEdits::addItem(
        plan, {{"item", item}, {"cat", cat}, {"freq", "Monthly"}, {"amount", amount}, {"catid", kind}, {"notes", "n"}});
    QVERIFY2(edit.ok(), qPrintable(edit.error));
}

// Makes the row of `table` whose `field` holds `text` current, whatever is shown.
void goToRow(Table &table, const QString &field, const QString &text)
{
    table.setFiltered(false);
    table.setLinkActive(false);
    for (int r = 0; r < table.rowCount(); ++r) {
        table.goTo(r);
        if (table.asString(field) == text)
            return;
    }
    QFAIL(qPrintable("no row with " + field + " = " + text));
}

// A plan with both kinds of items, reminders (two long names that share
// theirs), savings and loans, in its saved state.
void fillPlan(Plan &plan)
{
    for (const auto &[cat, kind] :
         {std::pair{"Food", "E"}, {"Home", "E"}, {"Car", "E"}, {"Work", "I"}, {"Food", "I"}, {"Mum's", "E"}})
        QVERIFY(addCategory(plan, kind, cat).ok());
    addItem(plan, "E", "Food", "Bread", 4.5);
    addItem(plan, "E", "Food", "Milk", 2);
    addItem(plan, "E", "Home", "Rent", 1200);
    addItem(plan, "E", "Home", "Insurance premium - house", 60);
    addItem(plan, "E", "Home", "Insurance premium - contents", 20);
    addItem(plan, "E", "Car", "Fuel", 80);
    addItem(plan, "E", "Mum's", "Cake", 9);
    addItem(plan, "I", "Work", "Wage", 3000);
    addItem(plan, "I", "Food", "Bread", 1);
    goToRow(plan.items(), "item", "Rent");
    QVERIFY(addReminders(plan, "E", "Home", "Rent", {QDate(2026, 1, 1), QDate(2026, 2, 1)}, "pay rent").ok());
    QVERIFY(addReminders(plan, "E", "Home", "Insurance premium - house", {QDate(2026, 3, 9)}, "cover due").ok());
    QVERIFY(addReminders(plan, "E", "Food", "Bread", {QDate(2026, 5, 2)}, "bake").ok());
    QVERIFY(addReminders(plan, "I", "Food", "Bread", {QDate(2026, 6, 2)}, "sell bread").ok());
    QVERIFY(addReminders(plan, "I", "Work", "Wage", {QDate(2026, 4, 15)}, "pay day").ok());
    QVERIFY(addSavingsGoal(plan, "Boat", "Weekly", day(2026, 1, 1), day(2027, 1, 1), 5200).ok());
    QVERIFY(addSavingsGoal(plan, "Bike", "Monthly", day(2026, 1, 1), day(2026, 7, 1), 600).ok());
    QVERIFY(addLoan(plan,
                    {{"purpose", "Car"},
                     {"lender", "Bank"},
                     {"amtborrowed", 9000},
                     {"minpay", 300},
                     {"payfreq", "Monthly"},
                     {"start", day(2025, 1, 1)},
                     {"loanlgth", 3},
                     {"finish", day(2028, 1, 1)},
                     {"intrate", 6.5}})
                .ok());
    QVERIFY(addLoan(plan,
                    {{"purpose", "Sofa"},
                     {"lender", "Shop"},
                     {"amtborrowed", 900},
                     {"minpay", 50},
                     {"payfreq", "Weekly"},
                     {"start", day(2026, 1, 1)},
                     {"loanlgth", 1},
                     {"finish", day(2027, 1, 1)},
                     {"intrate", 0.0}})
                .ok());
    plan.setSaved(true);
}

using Routine = std::function<PlanEdit(Plan &)>;

} // namespace

// Each change routine as one step: its undo puts every row back in its place,
// its redo makes the change again exactly, and the two can be repeated.
class TestPlanEdits : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoOfEveryRoutine_data()
    {
        QTest::addColumn<Routine>("routine");
        QTest::addColumn<QString>("text");

        QTest::newRow("add item") << Routine([](Plan &p) {
            return PlanEdits::addItem(
                p, {{"item", "Tea"}, {"cat", "Food"}, {"freq", "Weekly"}, {"amount", 3}, {"catid", "E"}});
        }) << "Add Item \"Tea\"";
        QTest::newRow("rename item, reminders follow") << Routine([](Plan &p) {
            goToRow(p.items(), "item", "Rent");
            return changeItem(p, {{"item", "Mortgage"}, {"amount", 1300}});
        }) << "Change Item \"Rent\"";
        QTest::newRow("item to another category") << Routine([](Plan &p) {
            goToRow(p.items(), "item", "Milk");
            return changeItem(p, {{"cat", "Car"}});
        }) << "Change Item \"Milk\"";
        QTest::newRow("item amount in place") << Routine([](Plan &p) {
            goToRow(p.items(), "item", "Fuel");
            return changeItem(p, {{"amount", 95.125}, {"notes", "diesel\r\nnow"}});
        }) << "Change Item \"Fuel\"";
        QTest::newRow("delete item with reminders") << Routine([](Plan &p) {
            goToRow(p.items(), "item", "Rent");
            return deleteItem(p);
        }) << "Delete Item \"Rent\"";
        QTest::newRow("delete item sharing reminders") << Routine([](Plan &p) {
            goToRow(p.items(), "item", "Insurance premium - house");
            return deleteItem(p);
        }) << "Delete Item \"Insurance premium - house\"";
        QTest::newRow("add category") << Routine([](Plan &p) { return addCategory(p, "I", "Gifts"); })
                                      << "Add Category \"Gifts\"";
        QTest::newRow("rename category") << Routine([](Plan &p) { return renameCategory(p, "E", "Food", "Groceries"); })
                                         << "Rename Category \"Food\"";
        QTest::newRow("rename category with a quote")
            << Routine([](Plan &p) { return renameCategory(p, "E", "Mum's", "Nan's \"best\""); })
            << "Rename Category \"Mum's\"";
        QTest::newRow("delete category") << Routine([](Plan &p) { return deleteCategory(p, "E", "Home"); })
                                         << "Delete Category \"Home\"";
        QTest::newRow("add savings goal") << Routine([](Plan &p) {
            return addSavingsGoal(p, "Piano", "Fortnightly", day(2026, 1, 1), day(2026, 12, 31), 2600);
        }) << "Add Savings Goal \"Piano\"";
        QTest::newRow("change savings goal") << Routine([](Plan &p) {
            goToRow(p.savings(), "desc", "Boat");
            return changeSavingsGoal(p, {{"desc", "Yacht"}, {"amount", 9000}, {"finish", day(2028, 1, 1)}});
        }) << "Change Savings Goal \"Boat\"";
        QTest::newRow("delete savings goal") << Routine([](Plan &p) {
            goToRow(p.savings(), "desc", "Boat");
            return deleteSavingsGoal(p);
        }) << "Delete Savings Goal \"Boat\"";
        QTest::newRow("add loan") << Routine([](Plan &p) {
            return addLoan(p, {{"purpose", "Roof"}, {"lender", "Bank"}, {"amtborrowed", 5000}});
        }) << "Add Loan \"Roof\"";
        QTest::newRow("change loan") << Routine([](Plan &p) {
            goToRow(p.loans(), "purpose", "Car");
            return changeLoan(p, {{"intrate", 7.25}, {"loanlgth", 4}, {"finish", day(2029, 1, 1)}});
        }) << "Change Loan \"Car\"";
        QTest::newRow("delete loan") << Routine([](Plan &p) {
            goToRow(p.loans(), "purpose", "Car");
            return deleteLoan(p);
        }) << "Delete Loan \"Car\"";
        QTest::newRow("add reminder series") << Routine([](Plan &p) {
            return addReminders(p, "E", "Car", "Fuel", {QDate(2026, 1, 3), QDate(2026, 4, 3), QDate(2026, 7, 3)},
                                "fill up");
        }) << "Add Reminders \"fill up\"";
        QTest::newRow("change reminder") << Routine([](Plan &p) {
            goToRow(p.reminders(), "desc", "pay rent");
            return changeReminder(p, QDate(2026, 12, 24), "rent before Christmas");
        }) << "Change Reminder \"pay rent\"";
        QTest::newRow("delete reminder") << Routine([](Plan &p) {
            goToRow(p.reminders(), "desc", "bake");
            return deleteReminder(p);
        }) << "Delete Reminder \"bake\"";
        QTest::newRow("clear expense items")
            << Routine([](Plan &p) { return clearAll(p, "expense"); }) << "Clear All Expense Items";
        QTest::newRow("clear income items")
            << Routine([](Plan &p) { return clearAll(p, "income"); }) << "Clear All Income Items";
        QTest::newRow("clear savings") << Routine([](Plan &p) { return clearAll(p, "savings"); })
                                       << "Clear All Savings Items";
        QTest::newRow("clear loans") << Routine([](Plan &p) { return clearAll(p, "loan"); }) << "Clear All Loan Items";
        QTest::newRow("clear reminders") << Routine([](Plan &p) { return clearAll(p, "reminder"); })
                                         << "Clear All Reminders";
    }

    void undoAndRedoOfEveryRoutine()
    {
        QFETCH(Routine, routine);
        QFETCH(QString, text);
        Plan plan;
        fillPlan(plan);
        const Snapshot before(plan);

        const PlanEdit edit = routine(plan);
        QVERIFY2(edit.ok(), qPrintable(edit.error));
        QCOMPARE(edit.change.text(), text);
        QVERIFY(!plan.isSaved());
        const Snapshot after(plan);
        QVERIFY(after != before);
        size_t touched = 0;
        for (int t = 0; t < PlanChange::TableCount; ++t)
            touched += edit.change.touches(t) ? 1 : 0;
        QVERIFY(touched > 0);

        for (int round = 0; round < 2; ++round) {
            edit.change.undo(plan);
            QCOMPARE(Snapshot(plan), before);
            edit.change.redo(plan);
            QCOMPARE(Snapshot(plan), after);
        }
    }

    // What the routines change, beyond their rows coming back.
    void routinesChangeWhatTheySay()
    {
        Plan plan;
        fillPlan(plan);
        Table &rem = plan.reminders();
        const auto remindersOf = [&](const QString &kind, const QString &cat, const QString &item) {
            QStringList out;
            for (const Table::Row &r : rem.allRows())
                if (r.at(0).toString() == kind && r.at(1).toString() == cat && r.at(2).toString() == item)
                    out << r.at(4).toString();
            return out;
        };

        // A renamed item takes its reminders; the shared reminders of two long
        // names stay where they are while the other item keeps them.
        goToRow(plan.items(), "item", "Rent");
        QVERIFY(changeItem(plan, {{"item", "Mortgage"}, {"cat", "Car"}}).ok());
        QCOMPARE(remindersOf("E", "Car", "Mortgage"), QStringList({"pay rent", "pay rent"}));
        goToRow(plan.items(), "item", "Insurance premium - house");
        QVERIFY(changeItem(plan, {{"item", "House cover"}}).ok());
        QCOMPARE(remindersOf("E", "Home", "Insurance premium - "), QStringList{"cover due"});

        // A renamed category takes its items and reminders of its kind only;
        // the income "Food" keeps its name.
        QVERIFY(renameCategory(plan, "E", "Food", "Groceries").ok());
        QCOMPARE(remindersOf("E", "Groceries", "Bread"), QStringList{"bake"});
        QCOMPARE(remindersOf("I", "Food", "Bread"), QStringList{"sell bread"});
        int groceries = 0;
        for (const Table::Row &r : plan.items().allRows())
            groceries += r.at(3).toString() == "Groceries" ? 1 : 0;
        QCOMPARE(groceries, 2);

        // Deleting a category takes its items and reminders, and nothing else.
        QVERIFY(deleteCategory(plan, "E", "Groceries").ok());
        QCOMPARE(remindersOf("E", "Groceries", "Bread"), QStringList());
        QCOMPARE(remindersOf("I", "Food", "Bread"), QStringList{"sell bread"});
        QCOMPARE(plan.items().totalRowCount(), 7);

        // Clear All of one kind leaves the other kind and every reminder.
        const int reminders = rem.totalRowCount();
        QVERIFY(clearAll(plan, "expense").ok());
        QCOMPARE(plan.items().totalRowCount(), 2);
        QCOMPARE(rem.totalRowCount(), reminders);

        // A goal with less than a period: refused, no row.
        const PlanEdit tooShort = addSavingsGoal(plan, "Car", "Yearly", day(2026, 1, 1), day(2026, 6, 1), 1000);
        QCOMPARE(tooShort.error, QString("You dont have enough time to save Yearly"));
        QCOMPARE(plan.savings().totalRowCount(), 2);
    }

    // A change the tables refuse leaves rows, cursors, saved mark and change
    // counts as they were, and nothing for the history.
    void refusedChangesLeaveThePlanAsItWas()
    {
        Plan plan;
        fillPlan(plan);
        goToRow(plan.items(), "item", "Milk");
        plan.items().setFilter("catid = 'E' and cat = 'Food'");
        plan.items().setFiltered(true);
        plan.items().goTo(1);
        const Snapshot before(plan);
        const int current = plan.items().currentRow();
        const quint64 stamp = plan.changeStamp();

        PlanEdit refused = changeItem(plan, {{"item", "Bread"}}); // Food already has an expense Bread
        QCOMPARE(refused.error, QString("The category \"Food\" already has an expense item \"Bread\""));
        QVERIFY(refused.change.isEmpty());
        refused = renameCategory(plan, "E", "Home", "Car");
        QCOMPARE(refused.error, QString("There is already an expense category \"Car\""));
        refused = renameCategory(plan, "E", "Nowhere", "Anywhere");
        QVERIFY(!refused.ok());
        refused = addCategory(plan, "E", "Food");
        QVERIFY(!refused.ok());

        QCOMPARE(Snapshot(plan), before);
        QCOMPARE(plan.items().currentRow(), current);
        QCOMPARE(plan.items().asString("item"), QString("Milk"));
        QCOMPARE(plan.changeStamp(), stamp);
        QVERIFY(plan.isSaved());
        for (Table *t : {&plan.items(), &plan.categories(), &plan.reminders()})
            QCOMPARE(t->state(), Table::State::Browse);

        // A change refused part-way (rows already moved in two tables) is
        // rolled back whole.
        PlanChange change("partial");
        try {
            const PlanChange::Recording recording(plan, change);
            plan.reminders().removeRowsWhere([](const Table::RowView &) { return true; });
            plan.items().appendRow({"Tea", "Weekly", 3, "Food", "E"});
            plan.items().appendRow({"Tea", "Weekly", 4, "Food", "E"});
            QFAIL("a doubled key was taken");
        } catch (const TableError &) {
        }
        change.rollBack(plan);
        QCOMPARE(Snapshot(plan), before);
        QCOMPARE(plan.changeStamp(), stamp);

        // Renaming to the name it has is no change at all.
        const PlanEdit same = renameCategory(plan, "E", "Food", "Food");
        QVERIFY(same.ok());
        QVERIFY(same.change.isEmpty());
        QVERIFY(plan.isSaved());
    }

    // A long history made at random, undone step by step back to the start and
    // done again to the end, passes through every state it went through.
    void longHistoryUndoesAndRedoesThroughEveryState()
    {
        Plan plan;
        fillPlan(plan);
        QRandomGenerator random(20261210);
        std::vector<PlanChange> history;
        std::vector<Snapshot> states{Snapshot(plan)};
        const auto pick = [&](Table &table) {
            table.setFiltered(false);
            table.setLinkActive(false);
            if (!table.isEmpty())
                table.goTo(random.bounded(table.rowCount()));
            return !table.isEmpty();
        };
        const QStringList cats{"Food", "Home", "Car", "Mum's", "Work", "Toys"};
        for (int step = 0; step < 300; ++step) {
            const QString cat = cats.at(random.bounded(cats.size()));
            const QString kind = random.bounded(2) ? "E" : "I";
            const QString name = QStringLiteral("Thing %1").arg(random.bounded(40));
            PlanEdit edit;
            switch (random.bounded(12)) {
            case 0:
            case 1:
                edit = PlanEdits::addItem(plan,
                                          {{"item", name},
                                           {"cat", cat},
                                           {"freq", "Weekly"},
                                           {"amount", random.bounded(1000)},
                                           {"catid", kind}});
                break;
            case 2:
                if (pick(plan.items()))
                    edit = changeItem(plan, {{"item", name}, {"amount", random.bounded(50)}});
                break;
            case 3:
                if (pick(plan.items()))
                    edit = changeItem(plan, {{"cat", cat}});
                break;
            case 4:
                if (pick(plan.items()))
                    edit = deleteItem(plan);
                break;
            case 5: edit = addCategory(plan, kind, cat); break;
            case 6: edit = renameCategory(plan, kind, cat, cats.at(random.bounded(cats.size())) + "x"); break;
            case 7: edit = deleteCategory(plan, kind, cat); break;
            case 8:
                if (pick(plan.items()))
                    edit = addReminders(plan, plan.items().asString("catid"), plan.items().asString("cat"),
                                        plan.items().asString("item"),
                                        {QDate(2026, 1 + random.bounded(12), 1 + random.bounded(28))}, name);
                break;
            case 9:
                if (pick(plan.reminders()))
                    edit = random.bounded(2) ? deleteReminder(plan)
                                             : changeReminder(plan, QDate(2026, 2, 1 + random.bounded(28)), name);
                break;
            case 10:
                if (pick(plan.savings()))
                    edit = changeSavingsGoal(plan, {{"desc", name}});
                else
                    edit = addSavingsGoal(plan, name, "Weekly", day(2026, 1, 1), day(2026, 9, 1), 100);
                break;
            default:
                if (random.bounded(8) == 0)
                    edit = clearAll(plan, QStringList{"income", "expense", "reminder"}.at(random.bounded(3)));
                else if (pick(plan.loans()))
                    edit = deleteLoan(plan);
                else
                    edit = addLoan(plan, {{"purpose", name}});
                break;
            }
            if (edit.change.isEmpty()) {
                QCOMPARE(Snapshot(plan), states.back()); // refused or nothing to do: nothing changed
                continue;
            }
            history.push_back(std::move(edit.change));
            states.emplace_back(plan);
        }
        QVERIFY(history.size() > 150);

        for (size_t i = history.size(); i-- > 0;) {
            history[i].undo(plan);
            QVERIFY2(Snapshot(plan) == states[i],
                     qPrintable(QStringLiteral("undo of step %1: %2").arg(i).arg(history[i].text())));
        }
        for (size_t i = 0; i < history.size(); ++i) {
            history[i].redo(plan);
            QVERIFY2(Snapshot(plan) == states[i + 1],
                     qPrintable(QStringLiteral("redo of step %1: %2").arg(i).arg(history[i].text())));
        }
    }

    // A whole category's items move with one change, each to its place in
    // the order; an item whose new key is taken keeps the old category.
    void changeRowsKeepsOrderAndKeys()
    {
        Plan plan;
        Table &items = plan.items();
        for (const char *name : {"Apple", "pear", "Zucchini", "banana", "Tea"})
            items.appendRow({name, "Weekly", 1, "Fruit", "E"});
        items.appendRow({"Tea", "Weekly", 2, "Shop", "E"});
        items.appendRow({"Aardvark", "Weekly", 2, "Shop", "E"});
        const int cat = items.fieldIndex("cat");
        const auto fruit = [&](const Table::RowView &r) { return r.toString(cat) == "Fruit"; };

        QCOMPARE(items.changeRowsWhere(fruit, [&](Table::Row &r) { r[cat] = "Shop"; }), 4);
        QStringList order;
        for (const Table::Row &r : items.allRows())
            order << r.at(3).toString() + ":" + r.at(0).toString();
        QCOMPARE(order,
                 QStringList({"Fruit:Tea", "Shop:Aardvark", "Shop:Apple", "Shop:banana", "Shop:pear", "Shop:Tea",
                              "Shop:Zucchini"}));

        // Refusing doubles: the error names the row, and nothing moved.
        const auto shop = [&](const Table::RowView &r) { return r.toString(cat) == "Shop"; };
        const std::vector<Table::Row> before = items.allRows();
        try {
            items.changeRowsWhere(
                shop, [&](Table::Row &r) { r[cat] = "Fruit"; }, true);
            QFAIL("a doubled key was taken");
        } catch (const TableError &e) {
            QVERIFY(e.message().contains("Tea"));
        }
        QCOMPARE(std::vector<Table::Row>(items.allRows()), before);
    }
};

QTEST_GUILESS_MAIN(TestPlanEdits)
#include "tst_planedits.moc"
