#pragma once
#include "FieldDef.h"
#include "FilterExpression.h"
#include "TableError.h"
#include "TableStore.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QVariant>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

class TableChanges;

// One in-memory table of a plan: fields, rows, an optional unique key and a
// presentation order, a cursor over the visible rows, insert/edit/post/cancel/
// delete, a filter, and a master link that makes it the detail of another table.
//
// Rows are kept in presentation order (the order fields when there are any,
// otherwise the order they were added). The visible rows are those that pass
// the filter (while it is switched on) and the master link (while it is active).
class Table : public QObject
{
    Q_OBJECT
public:
    using Row = QList<QVariant>;
    enum class State { Browse, Insert, Edit };

    // One stored row as the table holds it, read without a copy of the row:
    // at(i) and value(i) give the values exactly as a Row would hold them.
    // A view is good until the rows of its table change.
    class RowView
    {
    public:
        RowView(const TableStore *store, size_t index) : m_store(store), m_index(index) { }
        int size() const { return m_store->fieldCount(); }
        QVariant at(int field) const { return m_store->value(m_index, field); }
        QVariant operator[](int field) const { return at(field); }
        // A field out of range gives a null value, as QList::value does.
        QVariant value(int field) const { return field >= 0 && field < size() ? at(field) : QVariant(); }
        Row toRow() const { return m_store->row(m_index); }
        operator Row() const { return toRow(); }
        // The stored text of a text field without a copy; null when the
        // value is not a text (an invalid value reads as a null text).
        const QString *text(int field) const { return m_store->text(m_index, field); }
        // at(field).toString(), without a QVariant for a stored text.
        QString toString(int field) const
        {
            const QString *stored = text(field);
            return stored ? *stored : at(field).toString();
        }
        size_t index() const { return m_index; }

    private:
        const TableStore *m_store;
        size_t m_index;
    };

    // Every row of the table in presentation order, as views.
    class RowRange
    {
    public:
        class iterator
        {
        public:
            using difference_type = std::ptrdiff_t;
            using value_type = RowView;
            iterator() = default;
            iterator(const TableStore *store, size_t index) : m_store(store), m_index(index) { }
            RowView operator*() const { return RowView(m_store, m_index); }
            iterator &operator++()
            {
                ++m_index;
                return *this;
            }
            iterator operator++(int)
            {
                iterator was = *this;
                ++m_index;
                return was;
            }
            bool operator==(const iterator &other) const { return m_index == other.m_index; }
            bool operator!=(const iterator &other) const { return m_index != other.m_index; }

        private:
            const TableStore *m_store = nullptr;
            size_t m_index = 0;
        };

        explicit RowRange(const TableStore *store) : m_store(store) { }
        iterator begin() const { return iterator(m_store, 0); }
        iterator end() const { return iterator(m_store, size()); }
        size_t size() const { return m_store->rowCount(); }
        bool empty() const { return size() == 0; }
        RowView operator[](size_t i) const { return RowView(m_store, i); }
        RowView at(size_t i) const
        {
            if (i >= size())
                throw std::out_of_range("Table::RowRange::at");
            return RowView(m_store, i);
        }
        RowView front() const { return RowView(m_store, 0); }
        RowView back() const { return RowView(m_store, size() - 1); }
        // A copy of every row.
        std::vector<Row> toRows() const
        {
            std::vector<Row> rows;
            rows.reserve(size());
            for (size_t i = 0; i < size(); ++i)
                rows.push_back(m_store->row(i));
            return rows;
        }
        operator std::vector<Row>() const { return toRows(); }

    private:
        const TableStore *m_store;
    };

    // `orderFields` are the fields of the presentation order; with `uniqueKey`
    // no two rows may have equal values in all of them.
    Table(const QString &name, const QList<FieldDef> &fields, const QStringList &orderFields = {},
          bool uniqueKey = false, const QString &indexName = QString(), QObject *parent = nullptr);

    QString name() const { return m_name; }
    QString indexName() const { return m_indexName; }
    const QList<FieldDef> &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const; // -1 when unknown
    const QList<int> &orderFieldIndexes() const { return m_order; }
    bool hasUniqueKey() const { return m_unique; }

    // How a row that would double the unique key is told to the user, in
    // plain words from the row's own values; without it the message names
    // the table and its index.
    using DuplicateText = std::function<QString(const Row &row)>;
    void setDuplicateText(DuplicateText text) { m_duplicateText = std::move(text); }

    // --- cursor over the visible rows -----------------------------------
    int rowCount() const { return static_cast<int>(m_visible.size()); }
    int currentRow() const { return m_current; } // -1 when there are no rows
    bool isEmpty() const { return m_visible.empty(); }
    void first();
    void next();
    void goTo(int visibleRow);
    bool atEnd() const { return m_atEnd; } // set by next() past the last row

    // --- fields of the current row (or of the insert/edit buffer) -------
    QVariant value(const QString &field) const { return value(requireField(field)); }
    QVariant value(int field) const;
    QString asString(const QString &field) const { return value(field).toString(); }
    double asMoney(const QString &field) const { return value(field).toDouble(); }
    QDateTime asDateTime(const QString &field) const { return value(field).toDateTime(); }
    int asInteger(const QString &field) const { return value(field).toInt(); }
    double asReal(const QString &field) const { return value(field).toDouble(); }
    // Only while inserting or editing.
    void setValue(const QString &field, const QVariant &value);
    void setValue(int field, const QVariant &value);

    // A visible row by number, without moving the cursor.
    RowView visibleRow(int visibleRow) const;
    QVariant visibleValue(int visibleRow, int field) const;

    // --- changes ---------------------------------------------------------
    State state() const { return m_state; }
    void insert(); // a blank row to fill; written by post()
    void edit(); // the current row to change; written by post()
    void post(); // throws TableError on a duplicate key and stays in its state
    void cancel();
    void remove(); // deletes the current row; the next becomes current

    // Appends a whole row (normalised) outside the insert cycle; used when
    // loading files and by bulk tools. Throws TableError on a duplicate key.
    void appendRow(const Row &row);
    // Replaces all rows at once (loading a file). Throws TableError on a
    // duplicate key and leaves the table unchanged then.
    void setAllRows(std::vector<Row> rows);
    // The rows of a scratch table, a table of the same layout whose
    // scratchStore() a file reader filled with values already in stored form:
    // checked on order and key as setAllRows checks them (without converting
    // a value again), then moved here; `scratch` is left empty. Throws
    // TableError on a duplicate key and leaves this table unchanged then.
    void setStoredRowsFrom(Table &scratch);
    // Moves every row of `source`, a table of the same fields, key and order
    // (a scratch table checked by setAllRows), into this one without checking
    // them again; `source` is left empty. Throws TableError when the layouts
    // differ.
    void takeRowsFrom(Table &source);
    // A table of the same layout holding every stored row, copied cheaply
    // (the row bytes, and the texts shared with this table), without filter,
    // link or parent: another thread may read or take it while this one goes
    // on changing.
    std::unique_ptr<Table> copyRows() const;
    void clear();
    // Removes every row (visible or not) for which `pred` holds; returns how many.
    int removeRowsWhere(const std::function<bool(const RowView &)> &pred);
    // Removes every row (visible or not) that belongs to `masterRow` under
    // the master link; returns how many.
    int removeDetailRowsOf(const Row &masterRow);

    // Gives every row (visible or not) for which `pred` holds the values
    // `change` makes of it, each put back in its place in the order. A row
    // whose changed key would double another row's is left as it was, or,
    // with `refuseDoubles`, nothing changes and TableError says why.
    // Returns how many rows changed.
    int changeRowsWhere(const std::function<bool(const RowView &)> &pred, const std::function<void(Row &)> &change,
                        bool refuseDoubles = false);

    // While `changes` is set, every change of the stored rows is written
    // into it, to be undone and done again (TableChanges); null stops it.
    void setRecorder(TableChanges *changes) { m_recorder = changes; }
    TableChanges *recorder() const { return m_recorder; }

    // Counts every change of the rows (insert, post, delete, load, clear);
    // views compare it to tell whether anything changed since they looked.
    quint64 changeCount() const { return m_changeCount; }

    // Every row in presentation order, whatever filter or link is in force.
    RowRange allRows() const { return RowRange(&m_store); }
    // One field of the rows [first, first + count) of allRows(), for a pass
    // down a whole column without a value made for each cell (a file's
    // values checked before they are taken), as TableStore gives them.
    void columnTexts(int field, size_t first, size_t count, const QString **texts) const
    {
        m_store.columnTexts(field, first, count, texts);
    }
    void columnNumbers(int field, size_t first, size_t count, double *numbers, bool *held) const
    {
        m_store.columnNumbers(field, first, count, numbers, held);
    }
    int totalRowCount() const { return static_cast<int>(m_store.rowCount()); }
    // The store of a scratch table for a file reader to fill (TableStore's
    // appending calls) before setStoredRowsFrom() takes the rows. Rows put
    // here are outside the order, the key, the recorder and the views: never
    // the store of a table that is shown or recorded.
    TableStore &scratchStore() { return m_store; }

    // --- filter ------------------------------------------------------------
    QString filter() const { return m_filterText; }
    // Throws TableError when the text does not parse; the previous filter stays.
    void setFilter(const QString &expression);
    bool isFiltered() const { return m_filtered; }
    void setFiltered(bool on);

    // --- master link ---------------------------------------------------------
    // This table becomes a detail of `master`: only rows whose `detailFields`
    // equal the master's current `masterFields` are visible while the link is
    // active. A detail text field shorter than the master's is compared with
    // the master's value cut to the detail's width, so a reminder of a long
    // item name still belongs to its item.
    void setMasterLink(Table *master, const QStringList &detailFields, const QStringList &masterFields);
    void setLinkActive(bool on);
    bool isLinkActive() const { return m_linkActive; }
    Table *master() const { return m_master; }

    // Whether `row` belongs to the master row `masterRow` under the link fields.
    bool belongsTo(const Row &row, const Row &masterRow) const;
    bool belongsTo(const RowView &row, const Row &masterRow) const;

    // Compares two rows on the order fields: < 0, 0, > 0.
    int compareRows(const Row &a, const Row &b) const;
    int compareRows(const RowView &a, const Row &b) const;

    // The rows [first, second) of allRows() equal to `probe` in the first
    // `orderFields` fields of the order (all rows when that is 0).
    std::pair<int, int> orderRange(const Row &probe, int orderFields) const;

signals:
    void visibleRowsReset(); // the set of visible rows changed
    void rowChanged(int visibleRow); // one visible row's values changed in place
    void currentRowChanged(int visibleRow);

private:
    friend class TableChanges;
    QString duplicateMessage(const Row &row) const;
    void setCheckedRows(std::vector<Row> rows);
    template <typename M>
    QString linkText(int link, const M &masterRow) const;
    template <typename R, typename M>
    bool rowBelongsTo(const R &row, const M &masterRow) const;
    template <typename A, typename B>
    int compareOrder(const A &a, const B &b, int orderFields) const;
    // The rows [first, second) that can belong to `masterRow`: all of them,
    // or the range of its texts when the order begins with text link fields.
    template <typename M>
    std::pair<int, int> linkRange(const M &masterRow) const;
    void refresh(int keepIndex = -1, int fallbackVisible = -1);
    // The stored index of the current row, -1 when there is none.
    int storedCurrentIndex() const;
    template <typename R>
    bool isVisible(const R &row) const;
    int insertPosition(const Row &row) const;
    int findKey(const Row &row, int ignoreIndex) const;
    QString keyText(const Row &row) const;
    void setCurrent(int visibleRow);
    void requireBrowse(const char *what) const;
    int requireField(const QString &name) const;

    // --- the stored rows, kept in step with the recorder --------------------
    void insertRowAt(size_t row, const Row &values);
    // Puts `rows` so that row i ends at stored index at[i] (`at` ascending).
    void insertRowsAt(const std::vector<quint32> &at, const std::vector<Row> &rows);
    // Removes the rows at the stored indexes `at` (ascending).
    void eraseRowsAt(const std::vector<quint32> &at);
    void replaceRowAt(size_t row, const Row &values);
    // Tells the recorder that every row is about to go, or has just come.
    void recordAllRows(bool removed);
    // Removes the rows in [from, to) for which `pred` holds; how many went.
    int removeRows(size_t from, size_t to, const std::function<bool(const RowView &)> &pred);
    // Whether the `count` rows at(0), at(1)... are in order, and the first
    // whose key repeats the row's before it (0 when none).
    template <typename At>
    std::pair<bool, size_t> orderCheck(size_t count, At at) const;
    QString doubledKeyMessage(const Row &row) const;

    TableStore m_store; // every row, in presentation order

    QString m_name;
    QString m_indexName;
    DuplicateText m_duplicateText;
    QList<FieldDef> m_fields;
    QList<int> m_order;
    bool m_unique = false;

    std::vector<int> m_visible; // indexes of stored rows
    int m_current = -1;
    bool m_atEnd = false;

    State m_state = State::Browse;
    Row m_buffer;
    int m_editIndex = -1; // stored index of the row being edited

    QString m_filterText;
    FilterExpression m_filterExpr;
    bool m_filtered = false;

    Table *m_master = nullptr;
    QList<int> m_linkDetail;
    QList<int> m_linkMaster;
    bool m_linkActive = false;
    QList<int> m_linkRangeFields; // links whose detail fields begin the order
    quint64 m_changeCount = 0;
    TableChanges *m_recorder = nullptr;
};
