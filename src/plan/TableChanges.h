#pragma once
#include <QVariant>
#include <cstddef>
#include <vector>

class Table;

// What happened to the stored rows of one table while it was recorded
// (Table::setRecorder), step by step: rows removed from their places, rows
// put in at theirs, a row changed where it stands. Each step keeps the values
// it needs both ways, so the steps can be undone (in reverse) and done again
// (in order) on the table exactly as the recording left it, or found it.
//
// Indexes are places among all the table's stored rows, which are kept in
// presentation order whatever filter or link is shown: a table in the same
// state always has the same rows at the same places.
class TableChanges
{
public:
    bool isEmpty() const { return m_steps.empty(); }
    // How many rows the steps removed, put in, or changed.
    size_t rowsTouched() const;
    // The memory the recorded values hold, roughly (texts counted whole).
    size_t heldBytes() const;

    // Undoes every step, last first, then shows the row the first step
    // touched (or its neighbour when it is gone).
    void undo(Table &table) const;
    // Does every step again, first first, then shows the row the last step
    // touched.
    void redo(Table &table) const;
    // Undoes a change that was refused part-way: the rows go back as they
    // were and the table counts no change (Table::changeCount() as `count`).
    void rollBack(Table &table, quint64 count) const;

private:
    friend class Table;
    enum class Kind : quint8 { Removed, Inserted, Replaced };
    struct Step
    {
        Kind kind;
        std::vector<quint32> at; // stored indexes, ascending
        std::vector<QVariant> cells; // the rows' values, one after another
        std::vector<QVariant> after; // Replaced: the row's new values
    };

    // Called by the table: rows at `at` are about to go; rows at `at` have
    // just been put in; the row at `at` is about to be changed, and has been.
    void removed(const Table &table, std::vector<quint32> at);
    void inserted(const Table &table, std::vector<quint32> at);
    void replacing(const Table &table, size_t at);
    void replaced(const Table &table);

    static void apply(Table &table, const Step &step, bool forward);
    static std::vector<QVariant> cellsOf(const Table &table, const std::vector<quint32> &at);

    std::vector<Step> m_steps;
    int m_fields = 0;
};
