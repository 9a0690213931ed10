#include "TableChanges.h"
#include "Table.h"

#include <algorithm>

std::vector<QVariant> TableChanges::cellsOf(const Table &table, const std::vector<quint32> &at)
{
    std::vector<QVariant> cells;
    const int fields = static_cast<int>(table.m_fields.size());
    cells.reserve(at.size() * static_cast<size_t>(fields));
    for (const quint32 row : at)
        for (int f = 0; f < fields; ++f)
            cells.push_back(table.m_store.value(row, f));
    return cells;
}

void TableChanges::removed(const Table &table, std::vector<quint32> at)
{
    if (at.empty())
        return;
    m_fields = static_cast<int>(table.m_fields.size());
    std::vector<QVariant> cells = cellsOf(table, at);
    m_steps.push_back({Kind::Removed, std::move(at), std::move(cells), {}});
}

void TableChanges::inserted(const Table &table, std::vector<quint32> at)
{
    if (at.empty())
        return;
    m_fields = static_cast<int>(table.m_fields.size());
    std::vector<QVariant> cells = cellsOf(table, at);
    m_steps.push_back({Kind::Inserted, std::move(at), std::move(cells), {}});
}

void TableChanges::replacing(const Table &table, size_t at)
{
    m_fields = static_cast<int>(table.m_fields.size());
    std::vector<quint32> place{static_cast<quint32>(at)};
    std::vector<QVariant> cells = cellsOf(table, place);
    m_steps.push_back({Kind::Replaced, std::move(place), std::move(cells), {}});
}

void TableChanges::replaced(const Table &table)
{
    Step &step = m_steps.back();
    step.after = cellsOf(table, step.at);
    // A change that changed nothing is no step.
    if (step.after == step.cells)
        m_steps.pop_back();
}

size_t TableChanges::rowsTouched() const
{
    size_t rows = 0;
    for (const Step &step : m_steps)
        rows += step.at.size();
    return rows;
}

size_t TableChanges::heldBytes() const
{
    const auto valueBytes = [](const QVariant &v) {
        size_t bytes = sizeof(QVariant);
        if (v.typeId() == QMetaType::QString)
            bytes += 16 + static_cast<size_t>(static_cast<const QString *>(v.constData())->capacity()) * 2;
        return bytes;
    };
    size_t bytes = m_steps.capacity() * sizeof(Step);
    for (const Step &step : m_steps) {
        bytes += step.at.capacity() * sizeof(quint32);
        bytes +=
            (step.cells.capacity() - step.cells.size() + step.after.capacity() - step.after.size()) * sizeof(QVariant);
        for (const QVariant &v : step.cells)
            bytes += valueBytes(v);
        for (const QVariant &v : step.after)
            bytes += valueBytes(v);
    }
    return bytes;
}

void TableChanges::apply(Table &table, const Step &step, bool forward)
{
    const auto rowsOf = [&](const std::vector<QVariant> &cells) {
        std::vector<Table::Row> rows;
        rows.reserve(step.at.size());
        const auto fields = static_cast<std::ptrdiff_t>(table.m_fields.size());
        for (size_t i = 0; i < step.at.size(); ++i) {
            const auto from = cells.begin() + static_cast<std::ptrdiff_t>(i) * fields;
            rows.emplace_back(from, from + fields);
        }
        return rows;
    };
    switch (step.kind) {
    case Kind::Removed:
        if (forward)
            table.eraseRowsAt(step.at);
        else
            table.insertRowsAt(step.at, rowsOf(step.cells));
        break;
    case Kind::Inserted:
        if (forward)
            table.insertRowsAt(step.at, rowsOf(step.cells));
        else
            table.eraseRowsAt(step.at);
        break;
    case Kind::Replaced: {
        const size_t row = step.at.front();
        table.m_store.replaceRow(row, rowsOf(forward ? step.after : step.cells).front());
        break;
    }
    }
}

void TableChanges::undo(Table &table) const
{
    if (m_steps.empty())
        return;
    table.cancel();
    TableChanges *recorder = std::exchange(table.m_recorder, nullptr);
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step)
        apply(table, *step, false);
    table.m_recorder = recorder;
    ++table.m_changeCount;
    table.refresh(static_cast<int>(m_steps.front().at.front()));
}

void TableChanges::redo(Table &table) const
{
    if (m_steps.empty())
        return;
    table.cancel();
    TableChanges *recorder = std::exchange(table.m_recorder, nullptr);
    for (const Step &step : m_steps)
        apply(table, step, true);
    table.m_recorder = recorder;
    ++table.m_changeCount;
    table.refresh(static_cast<int>(m_steps.back().at.front()));
}

void TableChanges::rollBack(Table &table, quint64 count) const
{
    undo(table);
    table.m_changeCount = count;
}
