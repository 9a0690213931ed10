#include "TableModel.h"
#include "Format.h"
#include "plan/Table.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

TableModel::TableModel(Table *table, const QList<Column> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_columns(columns)
{
    for (const Column &c : m_columns) {
        const int f = table->fieldIndex(c.field);
        Q_ASSERT(f >= 0);
        m_fieldIndexes.append(f);
    }
    connect(table, &Table::visibleRowsReset, this, [this] {
        beginResetModel();
        endResetModel();
        syncViewToTable();
    });
    connect(table, &Table::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(table, &Table::currentRowChanged, this, [this] { syncViewToTable(); });
}

int TableModel::columnOf(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).field == field)
            return i;
    return -1;
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table->rowCount();
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString TableModel::displayText(const Table &table, int field, const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (table.fields().at(field).type) {
    case FieldType::Money: return Format::currency(value.toDouble());
    case FieldType::DateTime: return Format::date(value.toDateTime().date());
    default: return value.toString();
    }
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    const int field = m_fieldIndexes.at(index.column());
    const QVariant value = m_table->visibleValue(index.row(), field);
    switch (role) {
    case Qt::DisplayRole: {
        const Column &c = m_columns.at(index.column());
        return c.format ? c.format(value) : displayText(*m_table, field, value);
    }
    case Qt::EditRole: return value;
    case Qt::TextAlignmentRole: {
        const FieldType t = m_table->fields().at(field).type;
        if (t == FieldType::Money || t == FieldType::Integer || t == FieldType::Real)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default: return QVariant();
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_columns.size())
        return QVariant();
    const Column &c = m_columns.at(section);
    return c.header.isEmpty() ? m_table->fields().at(m_fieldIndexes.at(section)).displayLabel() : c.header;
}

void TableModel::bindView(QAbstractItemView *view)
{
    m_view = view;
    view->setModel(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        if (m_syncing || !current.isValid() || m_table->state() != Table::State::Browse)
            return;
        if (current.row() != m_table->currentRow()) {
            m_syncing = true;
            m_table->goTo(current.row());
            m_syncing = false;
        }
    });
    syncViewToTable();
}

void TableModel::syncViewToTable()
{
    if (!m_view || m_syncing)
        return;
    const int row = m_table->currentRow();
    m_syncing = true;
    if (row < 0 || row >= rowCount()) {
        m_view->selectionModel()->clearCurrentIndex();
        m_view->selectionModel()->clearSelection();
    } else {
        const QModelIndex current = m_view->selectionModel()->currentIndex();
        const int column = current.isValid() ? current.column() : 0;
        m_view->selectionModel()->setCurrentIndex(index(row, column),
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_syncing = false;
}
