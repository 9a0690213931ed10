#include "CategoryTree.h"
#include "Plan.h"

#include <QHash>

CategoryTrees categoryTreeData(const Plan &plan)
{
    CategoryTrees trees;
    const Table &cats = plan.categories();
    if (cats.totalRowCount() == 0)
        return trees;

    const int catName = cats.fieldIndex("cat");
    const int catKind = cats.fieldIndex("catid");
    QHash<QString, int> incomeIndex;
    QHash<QString, int> expenseIndex;
    for (const Table::RowView row : cats.allRows()) {
        const QString kind = row.toString(catKind);
        const QString name = row.toString(catName);
        if (kind == Kind::Income) {
            incomeIndex.insert(name, static_cast<int>(trees.income.size()));
            trees.income.append({name, {}});
        } else if (kind == Kind::Expense) {
            expenseIndex.insert(name, static_cast<int>(trees.expense.size()));
            trees.expense.append({name, {}});
        }
    }

    const Table &items = plan.items();
    const int itemName = items.fieldIndex("item");
    const int itemCat = items.fieldIndex("cat");
    const int itemKind = items.fieldIndex("catid");
    // The items come in category order: a row of the category and kind of
    // the row before goes to the same node without looking it up again.
    QString lastCat;
    QString lastKind;
    CategoryNode *node = nullptr;
    bool first = true;
    for (const Table::RowView row : items.allRows()) {
        const QString kind = row.toString(itemKind);
        const QString cat = row.toString(itemCat);
        if (first || cat != lastCat || kind != lastKind) {
            first = false;
            node = nullptr;
            if (kind == Kind::Income) {
                if (auto it = incomeIndex.constFind(cat); it != incomeIndex.cend())
                    node = &trees.income[*it];
            } else if (kind == Kind::Expense) {
                if (auto it = expenseIndex.constFind(cat); it != expenseIndex.cend())
                    node = &trees.expense[*it];
            }
            lastCat = cat;
            lastKind = kind;
        }
        if (node)
            node->items.append(row.toString(itemName));
    }
    return trees;
}

CategoryTrees rebuildCategoryTrees(Plan &plan)
{
    // Nothing changed since the last rebuild: its trees still hold.
    CategoryTrees trees = plan.categoryTreesCurrent() ? plan.categoryTrees() : categoryTreeData(plan);
    if (plan.categories().totalRowCount() > 0)
        plan.categories().setFiltered(false);
    plan.items().setFiltered(true);
    plan.setCategoryTrees(trees);
    return trees;
}
