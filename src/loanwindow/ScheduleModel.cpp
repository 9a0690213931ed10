#include "loanwindow/ScheduleModel.h"

ScheduleModel::ScheduleModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void ScheduleModel::setRows(const QList<ScheduleRow> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int ScheduleModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScheduleModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ScheduleModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return QVariant();
    const ScheduleRow &row = m_rows.at(index.row());
    switch (index.column()) {
    case 0: return row.payment;
    case 1: return row.interest;
    case 2: return row.principal;
    case 3: return row.balance;
    default: return QVariant();
    }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const headings[4] = {"Payment", "Interest", "Principal", "Balance"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
        return QString::fromLatin1(headings[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}
