#pragma once
#include "plan/CategoryTree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QPair>

// What a category tree of the items page shows: the categories at the top,
// each with the names of its items below it, read from the category-tree
// data the tree was last drawn with (held, not copied: the texts are the
// plan's own). An item node costs nothing until the tree asks for it.
//
// A node renamed in the tree keeps its new text here only; the plan does not
// change, and the next drawing shows the plan's texts again.
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit CategoryTreeModel(QObject *parent = nullptr);

    // Shows `nodes`. While they are the categories drawn last time and no
    // node has been renamed since, only the categories whose items changed
    // get new item rows, and true is returned. Otherwise the model is reset
    // (every node new to its views) and false is returned.
    bool draw(const QList<CategoryNode> &nodes);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // A node: its category row and its item row, -1 for the category itself.
    using Node = QPair<int, int>;
    static Node node(const QModelIndex &index);

    QList<CategoryNode> m_nodes;
    QHash<Node, QString> m_renamed;
};
