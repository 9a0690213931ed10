#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class Plan;

// The content of the two category trees: categories of each kind in table
// order, each with the names of its items in table order. The plan window
// only draws it.
struct CategoryNode
{
    QString name;
    QStringList items;
    bool operator==(const CategoryNode &) const = default;
};

struct CategoryTrees
{
    QList<CategoryNode> income; // tvcatinc
    QList<CategoryNode> expense; // tvcatexp
    bool operator==(const CategoryTrees &) const = default;
};

// The trees' content from all rows, whatever filter is in force. Items whose
// category has no category row are not shown.
CategoryTrees categoryTreeData(const Plan &plan);

// The category-tree rebuild with its effect on the tables: when there is any
// category the categories table is left unfiltered; the items table keeps its
// filter expression and is left filtered. Stores the result in the plan, which
// tells its views (Plan::categoryTreesChanged).
CategoryTrees rebuildCategoryTrees(Plan &plan);
