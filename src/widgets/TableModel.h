#pragma once
#include <QAbstractTableModel>
#include <QPointer>
#include <functional>

class QAbstractItemView;
class Table;

// A grid's model over one plan table: the table's visible rows, chosen fields
// as columns. The model follows the table's signals, and a bound view's current
// row and the table's cursor stay in step both ways.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString header; // empty: the field's display label
        std::function<QString(const QVariant &)> format; // empty: by field type
    };

    TableModel(Table *table, const QList<Column> &columns, QObject *parent = nullptr);

    Table *table() const { return m_table; }
    int columnOf(const QString &field) const; // -1 when not shown

    // Keeps the view's current row and the table's cursor together.
    void bindView(QAbstractItemView *view);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text a cell shows for a value of the given field type.
    static QString displayText(const Table &table, int field, const QVariant &value);

private:
    void syncViewToTable();

    Table *m_table;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes;
    QPointer<QAbstractItemView> m_view;
    bool m_syncing = false;
};
