#include "CategoryTreeModel.h"

#include <algorithm>

CategoryTreeModel::CategoryTreeModel(QObject *parent) : QAbstractItemModel(parent)
{
}

namespace {

bool sameCategories(const QList<CategoryNode> &a, const QList<CategoryNode> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const CategoryNode &x, const CategoryNode &y) { return x.name == y.name; });
}

} // namespace

bool CategoryTreeModel::draw(const QList<CategoryNode> &nodes)
{
    if (!m_renamed.isEmpty() || !sameCategories(m_nodes, nodes)) {
        beginResetModel();
        m_nodes = nodes;
        m_renamed.clear();
        endResetModel();
        return false;
    }
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const QStringList &items = nodes.at(i).items;
        if (m_nodes.at(i).items == items)
            continue;
        const QModelIndex category = index(int(i), 0);
        if (const auto before = int(m_nodes.at(i).items.size()); before > 0) {
            beginRemoveRows(category, 0, before - 1);
            m_nodes[i].items.clear();
            endRemoveRows();
        }
        if (!items.isEmpty()) {
            beginInsertRows(category, 0, int(items.size()) - 1);
            m_nodes[i].items = items;
            endInsertRows();
        }
    }
    m_nodes = nodes; // the same texts again, shared with the plan's
    return true;
}

CategoryTreeModel::Node CategoryTreeModel::node(const QModelIndex &index)
{
    const quintptr id = index.internalId();
    return id == 0 ? Node(index.row(), -1) : Node(int(id - 1), index.row());
}

// An index's internal id: 0 for a category, the category's row + 1 for one
// of its items.
QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : 0);
}

QModelIndex CategoryTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int CategoryTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_nodes.size());
    if (parent.column() != 0 || parent.internalId() != 0)
        return 0;
    return int(m_nodes.at(parent.row()).items.size());
}

int CategoryTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant CategoryTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Node n = node(index);
    if (!m_renamed.isEmpty())
        if (const auto renamed = m_renamed.constFind(n); renamed != m_renamed.cend())
            return *renamed;
    const CategoryNode &category = m_nodes.at(n.first);
    return n.second < 0 ? category.name : category.items.at(n.second);
}

// The display and edit roles share one text.
bool CategoryTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    m_renamed.insert(node(index), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
    return index.internalId() == 0 ? flags : flags | Qt::ItemNeverHasChildren;
}
