#pragma once
// Plans filled by hand for the window tests. Each test keeps its own rows (the
// amounts, frequencies and names its figures are worked out from); these put
// them in a plan, in a plan's files or in a plan window, one way for all.
#include "TestWidgets.h"

#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "planwindow/CategoryTreeModel.h"
#include "planwindow/frm_budget.h"
#include "widgets/TableModel.h"

#include <QList>
#include <QTest>

#include <memory>

struct PlanRows
{
    QList<Table::Row> categories = {}; // cat, catid
    QList<Table::Row> items = {}; // item, freq, amount, cat, catid, notes
    QList<Table::Row> reminders = {}; // cat_id, cat, item, dom, desc, month
    QList<Table::Row> savings = {}; // desc, amount, start, finish, freq, freqamount
    QList<Table::Row> loans = {}; // purpose, lender, amtborrowed, minpay, payfreq, start, loanlgth, finish, intrate

    // Appended to the plan's tables, each table in its own order.
    void fillIn(Plan &plan) const
    {
        for (const Table::Row &row : categories)
            plan.categories().appendRow(row);
        for (const Table::Row &row : items)
            plan.items().appendRow(row);
        for (const Table::Row &row : reminders)
            plan.reminders().appendRow(row);
        for (const Table::Row &row : savings)
            plan.savings().appendRow(row);
        for (const Table::Row &row : loans)
            plan.loans().appendRow(row);
    }

    // The table files of a saved plan at `file`, and its settings file with
    // the display frequency when `frequency` >= 0.
    void save(const QString &file, int frequency = -1) const
    {
        Plan plan;
        fillIn(plan);
        PlanFiles::savePlanTables(plan, file);
        if (frequency >= 0)
            PlanFiles::writeDisplayFrequency(file + "ini", frequency);
    }
};

// An income of 1000 a month and an expense of 100 a week: the plan the main
// window's tests open, save and close.
inline PlanRows wageAndRent(const QList<Table::Row> &reminders = {})
{
    return {.categories = {{"Work", "I"}, {"Home", "E"}},
            .items = {{"Wage", "Monthly", 1000, "Work", "I", "paid on the 1st"}, {"Rent", "Weekly", 100, "Home", "E"}},
            .reminders = reminders};
}

// A plan window of 1000 x 700 on `rows`, shown and made active as the main
// window makes it active (category trees drawn, totals counted), with a
// QAbstractItemModelTester on the model of every grid and of both category
// trees.
inline std::unique_ptr<Tfrm_budget> openPlanWindow(const PlanRows &rows, PlanHost *host = nullptr)
{
    auto window = std::make_unique<Tfrm_budget>(host);
    rows.fillIn(window->plan());
    if (testModels<TableModel>(window.get()) == 0)
        QTest::qFail("the plan window has no grids to check", __FILE__, __LINE__);
    if (testModels<CategoryTreeModel>(window.get()) != 2)
        QTest::qFail("the plan window has not two category trees to check", __FILE__, __LINE__);
    window->resize(1000, 700);
    window->show();
    window->activate();
    window->updateall();
    if (!QTest::qWaitForWindowExposed(window.get()))
        QTest::qFail("the plan window was never shown", __FILE__, __LINE__);
    return window;
}
