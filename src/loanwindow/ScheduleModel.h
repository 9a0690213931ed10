#pragma once
#include "loancalc/LoanCalculation.h"

#include <QAbstractTableModel>

// A schedule grid's rows as a model: the grid draws only the rows in view, so
// a schedule of thousands of payments costs its rows and nothing per cell.
class ScheduleModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ScheduleModel(QObject *parent = nullptr);

    const QList<ScheduleRow> &rows() const { return m_rows; }
    void setRows(const QList<ScheduleRow> &rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<ScheduleRow> m_rows{ScheduleRow{}};
};
