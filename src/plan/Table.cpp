#include "Table.h"

#include <algorithm>

namespace {

int compareText(const QString &a, const QString &b)
{
    // Order without regard to case; texts that differ only in case still
    // differ, so equal keys are exactly equal texts.
    if (a.size() == b.size() && a.constData() == b.constData())
        return 0; // one shared text (rows read from a file share their repeated texts)
    const int ci = a.compare(b, Qt::CaseInsensitive);
    return ci != 0 ? ci : a.compare(b, Qt::CaseSensitive);
}

template <typename T>
int threeWay(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The text of a value without a copy when it holds one; `scratch` keeps the
// converted text of any other value alive.
const QString &textOf(const QVariant &v, QString &scratch)
{
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString *>(v.constData());
    scratch = v.toString();
    return scratch;
}

int compareTextValues(const QVariant &a, const QVariant &b)
{
    QString sa;
    QString sb;
    return compareText(textOf(a, sa), textOf(b, sb));
}

int compareValues(FieldType type, const QVariant &a, const QVariant &b)
{
    if (type == FieldType::Text || type == FieldType::Memo)
        return compareTextValues(a, b);
    if (a.isNull() || b.isNull())
        return threeWay(!a.isNull(), !b.isNull()); // nulls first
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        return compareTextValues(a, b);
    case FieldType::Integer:
        return threeWay(a.toInt(), b.toInt());
    case FieldType::Money:
    case FieldType::Real:
        return threeWay(a.toDouble(), b.toDouble());
    case FieldType::DateTime:
        return threeWay(a.toDateTime(), b.toDateTime());
    }
    return 0;
}

} // namespace

Table::Table(const QString &name, const QList<FieldDef> &fields, const QStringList &orderFields,
             bool uniqueKey, const QString &indexName, QObject *parent)
    : QObject(parent), m_name(name), m_indexName(indexName), m_fields(fields), m_unique(uniqueKey)
{
    for (const QString &f : orderFields)
        m_order.append(requireField(f));
}

int Table::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Table::requireField(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw TableError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
    return i;
}

// --- cursor ----------------------------------------------------------------

void Table::setCurrent(int visibleRow)
{
    const int count = rowCount();
    const int row = count == 0 ? -1 : std::clamp(visibleRow, 0, count - 1);
    m_atEnd = false;
    if (row != m_current) {
        m_current = row;
        emit currentRowChanged(m_current);
    }
}

void Table::requireBrowse(const char *what) const
{
    if (m_state != State::Browse)
        throw TableError(QStringLiteral("%1: cannot %2 while a row is being inserted or edited")
                             .arg(m_name, QLatin1String(what)));
}

void Table::first()
{
    requireBrowse("move");
    setCurrent(0);
}

void Table::next()
{
    requireBrowse("move");
    if (m_current + 1 >= rowCount()) {
        m_atEnd = true;
        return;
    }
    setCurrent(m_current + 1);
}

void Table::goTo(int visibleRow)
{
    requireBrowse("move");
    setCurrent(visibleRow);
}

const Table::Row *Table::currentRowPtr() const
{
    if (m_state != State::Browse)
        return &m_buffer;
    if (m_current < 0 || m_current >= rowCount())
        return nullptr;
    return &m_rows[static_cast<size_t>(m_visible[static_cast<size_t>(m_current)])];
}

const Table::Row *Table::storedCurrentRow() const
{
    if (m_current < 0 || m_current >= rowCount())
        return nullptr;
    return &m_rows[static_cast<size_t>(m_visible[static_cast<size_t>(m_current)])];
}

// --- field access ------------------------------------------------------------

QVariant Table::value(int field) const
{
    const Row *row = currentRowPtr();
    if (!row || field < 0 || field >= row->size())
        return QVariant();
    return row->at(field);
}

QVariant Table::value(const QString &field) const { return value(requireField(field)); }
QString Table::asString(const QString &field) const { return value(field).toString(); }
double Table::asMoney(const QString &field) const { return value(field).toDouble(); }
QDateTime Table::asDateTime(const QString &field) const { return value(field).toDateTime(); }
int Table::asInteger(const QString &field) const { return value(field).toInt(); }
double Table::asReal(const QString &field) const { return value(field).toDouble(); }

void Table::setValue(int field, const QVariant &value)
{
    if (m_state == State::Browse)
        throw TableError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    if (field < 0 || field >= m_fields.size())
        throw TableError(QStringLiteral("%1: Field number %2 not found").arg(m_name).arg(field));
    m_buffer[field] = normaliseFieldValue(m_fields.at(field), value);
}

void Table::setValue(const QString &field, const QVariant &value)
{
    setValue(requireField(field), value);
}

const Table::Row &Table::visibleRow(int visibleRow) const
{
    return m_rows[static_cast<size_t>(m_visible.at(static_cast<size_t>(visibleRow)))];
}

QVariant Table::visibleValue(int visibleRow, int field) const
{
    return this->visibleRow(visibleRow).at(field);
}

// --- ordering and keys -------------------------------------------------------------

int Table::compareRows(const Row &a, const Row &b) const
{
    for (int f : m_order) {
        const int c = compareValues(m_fields.at(f).type, a.at(f), b.at(f));
        if (c != 0)
            return c;
    }
    return 0;
}

int Table::insertPosition(const Row &row) const
{
    if (m_order.isEmpty())
        return static_cast<int>(m_rows.size());
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [this](const Row &a, const Row &b) { return compareRows(a, b) < 0; });
    return static_cast<int>(it - m_rows.begin());
}

int Table::findKey(const Row &row, int ignoreIndex) const
{
    if (!m_unique || m_order.isEmpty())
        return -1;
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                               [this](const Row &a, const Row &b) { return compareRows(a, b) < 0; });
    for (; it != m_rows.end() && compareRows(*it, row) == 0; ++it) {
        const int index = static_cast<int>(it - m_rows.begin());
        if (index != ignoreIndex)
            return index;
    }
    return -1;
}

QString Table::keyText(const Row &row) const
{
    QStringList parts;
    for (int f : m_order)
        parts << row.at(f).toString();
    return parts.join(QLatin1Char(';'));
}

// --- changes ----------------------------------------------------------------

void Table::insert()
{
    requireBrowse("insert");
    m_buffer = Row(m_fields.size());
    m_editIndex = -1;
    m_state = State::Insert;
    // A new detail row belongs to the master's current row.
    if (m_master && m_linkActive && m_master->storedCurrentRow()) {
        for (int i = 0; i < m_linkDetail.size(); ++i)
            m_buffer[m_linkDetail.at(i)] = normaliseFieldValue(
                m_fields.at(m_linkDetail.at(i)), m_master->value(m_linkMaster.at(i)));
    }
}

void Table::edit()
{
    requireBrowse("edit");
    if (m_current < 0)
        throw TableError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    m_editIndex = m_visible[static_cast<size_t>(m_current)];
    m_buffer = m_rows[static_cast<size_t>(m_editIndex)];
    m_state = State::Edit;
}

void Table::post()
{
    if (m_state == State::Browse)
        return;
    const int ignore = m_state == State::Edit ? m_editIndex : -1;
    if (findKey(m_buffer, ignore) >= 0)
        throw TableError(duplicateMessage(m_buffer));
    Row row = std::move(m_buffer);
    m_buffer.clear();
    const State was = m_state;
    m_state = State::Browse;

    if (was == State::Edit) {
        const int oldIndex = m_editIndex;
        m_editIndex = -1;
        // Stays in place when its order is unchanged: a change in place.
        const bool keepsPlace =
            (oldIndex == 0 || compareRows(m_rows[static_cast<size_t>(oldIndex - 1)], row) <= 0)
            && (oldIndex + 1 >= static_cast<int>(m_rows.size())
                || compareRows(row, m_rows[static_cast<size_t>(oldIndex + 1)]) <= 0);
        ++m_changeCount;
        if (keepsPlace && isVisible(row)) {
            m_rows[static_cast<size_t>(oldIndex)] = std::move(row);
            emit rowChanged(m_current);
            return;
        }
        m_rows.erase(m_rows.begin() + oldIndex);
    }
    const int pos = insertPosition(row);
    m_rows.insert(m_rows.begin() + pos, std::move(row));
    ++m_changeCount;
    refresh(pos);
}

void Table::cancel()
{
    m_state = State::Browse;
    m_buffer.clear();
    m_editIndex = -1;
}

void Table::remove()
{
    requireBrowse("delete");
    if (m_current < 0)
        throw TableError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    const int current = m_current;
    m_rows.erase(m_rows.begin() + m_visible[static_cast<size_t>(current)]);
    ++m_changeCount;
    // The following row takes the deleted row's place, or the previous one
    // when the last row went.
    refresh(-1, current);
}

void Table::appendRow(const Row &input)
{
    requireBrowse("append");
    Row row(m_fields.size());
    for (int i = 0; i < m_fields.size() && i < input.size(); ++i)
        row[i] = normaliseFieldValue(m_fields.at(i), input.at(i));
    if (findKey(row, -1) >= 0)
        throw TableError(duplicateMessage(row));
    const int pos = insertPosition(row);
    m_rows.insert(m_rows.begin() + pos, std::move(row));
    ++m_changeCount;
    refresh(pos);
}

QString Table::duplicateMessage(const Row &row) const
{
    if (m_duplicateText)
        return m_duplicateText(row);
    return QStringLiteral("Key violation: %1 already has a row with %2 = '%3'")
        .arg(m_name, m_indexName.isEmpty() ? QStringLiteral("the key") : m_indexName, keyText(row));
}

void Table::setAllRows(std::vector<Row> rows)
{
    requireBrowse("load");
    for (Row &row : rows) {
        if (row.size() != m_fields.size())
            row.resize(m_fields.size());
        for (int i = 0; i < m_fields.size(); ++i)
            if (!row.at(i).isNull())
                row[i] = normaliseFieldValue(m_fields.at(i), row.at(i));
    }
    setCheckedRows(std::move(rows));
}

void Table::setStoredRows(std::vector<Row> rows)
{
    requireBrowse("load");
    for (Row &row : rows)
        if (row.size() != m_fields.size())
            row.resize(m_fields.size());
    setCheckedRows(std::move(rows));
}

void Table::setCheckedRows(std::vector<Row> rows)
{
    if (!m_order.isEmpty()) {
        // One pass tells whether the rows are in order and finds the first
        // pair of equal keys; rows out of order are sorted and looked at again.
        size_t firstEqual = 0;
        bool sorted = true;
        for (size_t i = 1; i < rows.size(); ++i) {
            const int c = compareRows(rows[i - 1], rows[i]);
            if (c > 0) {
                sorted = false;
                break;
            }
            if (c == 0 && firstEqual == 0)
                firstEqual = i;
        }
        const auto less = [this](const Row &a, const Row &b) { return compareRows(a, b) < 0; };
        if (!sorted) {
            std::stable_sort(rows.begin(), rows.end(), less);
            firstEqual = 0;
            for (size_t i = 1; i < rows.size() && firstEqual == 0; ++i)
                if (compareRows(rows[i - 1], rows[i]) == 0)
                    firstEqual = i;
        }
        if (m_unique && firstEqual > 0)
            throw TableError(QStringLiteral("Key violation: %1 has two rows with %2 = '%3'")
                                 .arg(m_name, m_indexName.isEmpty() ? QStringLiteral("the key") : m_indexName,
                                      keyText(rows[firstEqual])));
    }
    m_rows = std::move(rows);
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

void Table::takeRowsFrom(Table &source)
{
    requireBrowse("load");
    bool sameLayout = source.m_fields.size() == m_fields.size() && source.m_order == m_order
                      && source.m_unique == m_unique;
    for (int i = 0; sameLayout && i < m_fields.size(); ++i)
        sameLayout = source.m_fields.at(i).name == m_fields.at(i).name
                     && source.m_fields.at(i).type == m_fields.at(i).type
                     && source.m_fields.at(i).width == m_fields.at(i).width;
    if (!sameLayout)
        throw TableError(QStringLiteral("%1: the rows of %2 do not fit").arg(m_name, source.m_name));
    m_rows = std::move(source.m_rows);
    ++m_changeCount;
    source.clear();
    m_current = -1;
    refresh(-1, 0);
}

void Table::clear()
{
    cancel();
    m_rows.clear();
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

int Table::removeRowsWhere(const std::function<bool(const Row &)> &pred)
{
    requireBrowse("delete");
    const auto before = m_rows.size();
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), pred), m_rows.end());
    const int removed = static_cast<int>(before - m_rows.size());
    if (removed > 0) {
        ++m_changeCount;
        refresh(-1, m_current);
    }
    return removed;
}

int Table::removeDetailRowsOf(const Row &masterRow)
{
    requireBrowse("delete");
    const auto [from, to] = linkRange(masterRow);
    const auto begin = m_rows.begin() + from;
    const auto end = m_rows.begin() + to;
    const auto kept = std::remove_if(begin, end, [&](const Row &row) { return belongsTo(row, masterRow); });
    const int removed = static_cast<int>(end - kept);
    m_rows.erase(kept, end);
    if (removed > 0) {
        ++m_changeCount;
        refresh(-1, m_current);
    }
    return removed;
}

// --- filter and link ----------------------------------------------------------

void Table::setFilter(const QString &expression)
{
    FilterExpression parsed = FilterExpression::parse(expression, m_fields);
    m_filterText = expression;
    m_filterExpr = std::move(parsed);
    if (m_filtered)
        refresh(-1, 0);
}

void Table::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    refresh(-1, 0);
}

void Table::setMasterLink(Table *master, const QStringList &detailFields, const QStringList &masterFields)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    m_linkDetail.clear();
    m_linkMaster.clear();
    m_linkRangeFields.clear();
    if (!master)
        return;
    if (detailFields.size() != masterFields.size())
        throw TableError(QStringLiteral("%1: master link fields do not pair up").arg(m_name));
    for (int i = 0; i < detailFields.size(); ++i) {
        m_linkDetail.append(requireField(detailFields.at(i)));
        m_linkMaster.append(master->requireField(masterFields.at(i)));
    }
    // The leading order fields that are text link fields: the rows of one
    // master row lie together in the order, found by binary search.
    m_linkRangeFields.clear();
    for (int f : m_order) {
        const int link = m_linkDetail.indexOf(f);
        const FieldType type = m_fields.at(f).type;
        if (link < 0 || (type != FieldType::Text && type != FieldType::Memo))
            break;
        m_linkRangeFields.append(link);
    }
    auto follow = [this] {
        if (m_linkActive && m_state == State::Browse)
            refresh(-1, 0);
    };
    // Every change of the master's visible rows ends with currentRowChanged,
    // so that signal and in-place changes are all the detail has to follow.
    connect(master, &Table::currentRowChanged, this, follow);
    connect(master, &Table::rowChanged, this, follow);
    connect(master, &QObject::destroyed, this, [this] { m_master = nullptr; m_linkActive = false; });
}

void Table::setLinkActive(bool on)
{
    if (on == m_linkActive)
        return;
    m_linkActive = on;
    refresh(-1, 0);
}

QString Table::linkText(int link, const Row &masterRow) const
{
    // The master's value as this table would store it: cut to the width.
    const FieldDef &df = m_fields.at(m_linkDetail.at(link));
    const QVariant &masterValue = masterRow.at(m_linkMaster.at(link));
    QString text = masterValue.toString();
    if (df.type == FieldType::Text && df.width > 0 && text.size() > df.width)
        text = normaliseFieldValue(df, text).toString();
    return text;
}

bool Table::belongsTo(const Row &row, const Row &masterRow) const
{
    QString scratch;
    for (int i = 0; i < m_linkDetail.size(); ++i)
        if (textOf(row.at(m_linkDetail.at(i)), scratch) != linkText(i, masterRow))
            return false;
    return true;
}

std::pair<int, int> Table::linkRange(const Row &masterRow) const
{
    if (m_linkRangeFields.isEmpty())
        return {0, static_cast<int>(m_rows.size())};
    Row probe(m_fields.size());
    for (int link : m_linkRangeFields)
        probe[m_linkDetail.at(link)] = linkText(link, masterRow);
    return orderRange(probe, static_cast<int>(m_linkRangeFields.size()));
}

std::pair<int, int> Table::orderRange(const Row &probe, int orderFields) const
{
    const int count = std::min(orderFields, static_cast<int>(m_order.size()));
    const auto compare = [&](const Row &row) {
        for (int i = 0; i < count; ++i) {
            const int f = m_order.at(i);
            if (const int c = compareValues(m_fields.at(f).type, row.at(f), probe.at(f)); c != 0)
                return c;
        }
        return 0;
    };
    const auto from = std::partition_point(m_rows.begin(), m_rows.end(),
                                           [&](const Row &row) { return compare(row) < 0; });
    const auto to = std::partition_point(from, m_rows.end(), [&](const Row &row) { return compare(row) == 0; });
    return {static_cast<int>(from - m_rows.begin()), static_cast<int>(to - m_rows.begin())};
}

bool Table::isVisible(const Row &row) const
{
    if (m_filtered && !m_filterExpr.accepts(row))
        return false;
    if (m_master && m_linkActive) {
        const Row *masterRow = m_master->storedCurrentRow();
        if (!masterRow || !belongsTo(row, *masterRow))
            return false;
    }
    return true;
}

void Table::refresh(int keepIndex, int fallbackVisible)
{
    m_visible.clear();
    const bool linked = m_master && m_linkActive;
    const bool everything = !(m_filtered && !m_filterExpr.isEmpty()) && !linked;
    if (everything) {
        m_visible.resize(m_rows.size());
        for (size_t i = 0; i < m_rows.size(); ++i)
            m_visible[i] = static_cast<int>(i);
    } else if (linked) {
        // Only the master row's range can hold visible rows; no master row, none.
        if (const Row *masterRow = m_master->storedCurrentRow()) {
            const auto [from, to] = linkRange(*masterRow);
            for (int i = from; i < to; ++i)
                if (isVisible(m_rows[static_cast<size_t>(i)]))
                    m_visible.push_back(i);
        }
    } else {
        m_visible.reserve(m_rows.size());
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (isVisible(m_rows[i]))
                m_visible.push_back(static_cast<int>(i));
    }

    int target = fallbackVisible >= 0 ? fallbackVisible : m_current;
    if (keepIndex >= 0) {
        auto it = std::lower_bound(m_visible.begin(), m_visible.end(), keepIndex);
        if (it != m_visible.end() && *it == keepIndex)
            target = static_cast<int>(it - m_visible.begin());
        else
            target = static_cast<int>(it - m_visible.begin());
    }
    const int count = rowCount();
    const int row = count == 0 ? -1 : std::clamp(target, 0, count - 1);
    m_current = row;
    m_atEnd = false;
    emit visibleRowsReset();
    emit currentRowChanged(m_current);
}
