#include "Table.h"
#include "TableChanges.h"

#include <algorithm>

namespace {

int compareText(const QString &a, const QString &b)
{
    // Order without regard to case; texts that differ only in case still
    // differ, so equal keys are exactly equal texts.
    if (a.size() == b.size() && a.constData() == b.constData())
        return 0; // one shared text (rows read from a file share their repeated texts)
    // Up to the first unit that differs the texts are the same in any case;
    // only the rest needs comparing without regard to case (from the start
    // of a surrogate pair, so a character is never cut in two).
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype i = std::mismatch(a.constData(), a.constData() + common, b.constData()).first - a.constData();
    if (i == common)
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    if (i > 0 && a.at(i - 1).isHighSurrogate())
        --i;
    const QStringView restA = QStringView(a).mid(i);
    const QStringView restB = QStringView(b).mid(i);
    const int ci = restA.compare(restB, Qt::CaseInsensitive);
    return ci != 0 ? ci : restA.compare(restB, Qt::CaseSensitive);
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
    if (v.data_ptr().typeId() == QMetaType::QString)
        return *static_cast<const QString *>(v.constData());
    scratch = v.toString();
    return scratch;
}

// Values of a field that is not a text: nulls first.
int compareValues(FieldType type, const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return threeWay(!a.isNull(), !b.isNull());
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo: break; // compared as texts by compareField
    case FieldType::Integer: return threeWay(a.toInt(), b.toInt());
    case FieldType::Money:
    case FieldType::Real: return threeWay(a.toDouble(), b.toDouble());
    case FieldType::DateTime: return threeWay(a.toDateTime(), b.toDateTime());
    }
    return 0;
}

// A field of either kind of row as text, without a copy when it holds one.
const QString &textAt(const Table::Row &row, int field, QString &scratch)
{
    return textOf(row.at(field), scratch);
}

const QString &textAt(const Table::RowView &row, int field, QString &scratch)
{
    if (const QString *text = row.text(field))
        return *text;
    scratch = row.at(field).toString();
    return scratch;
}

template <typename A, typename B>
int compareField(FieldType type, const A &a, const B &b, int field)
{
    if (type == FieldType::Text || type == FieldType::Memo) {
        QString sa;
        QString sb;
        return compareText(textAt(a, field, sa), textAt(b, field, sb));
    }
    return compareValues(type, a.at(field), b.at(field));
}

} // namespace

Table::Table(const QString &name, const QList<FieldDef> &fields, const QStringList &orderFields, bool uniqueKey,
             const QString &indexName, QObject *parent)
    : QObject(parent), m_store(fields), m_name(name), m_indexName(indexName), m_fields(fields), m_unique(uniqueKey)
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

// --- stored rows -------------------------------------------------------------------

void Table::insertRowAt(size_t row, const Row &values)
{
    m_store.insertRow(row, values);
    if (m_recorder)
        m_recorder->inserted(*this, {static_cast<quint32>(row)});
}

void Table::insertRowsAt(const std::vector<quint32> &at, const std::vector<Row> &rows)
{
    if (rows.size() != at.size() || (!at.empty() && at.back() >= m_store.rowCount() + at.size()))
        throw TableError(QStringLiteral("%1: rows put back out of place").arg(m_name));
    m_store.insertRows(at, rows);
    if (m_recorder)
        m_recorder->inserted(*this, at);
}

void Table::eraseRowsAt(const std::vector<quint32> &at)
{
    if (m_recorder)
        m_recorder->removed(*this, at);
    m_store.eraseRows(at);
}

void Table::replaceRowAt(size_t row, const Row &values)
{
    if (m_recorder)
        m_recorder->replacing(*this, row);
    m_store.replaceRow(row, values);
    if (m_recorder)
        m_recorder->replaced(*this);
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
        throw TableError(
            QStringLiteral("%1: cannot %2 while a row is being inserted or edited").arg(m_name, QLatin1String(what)));
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

int Table::storedCurrentIndex() const
{
    if (m_current < 0 || m_current >= rowCount())
        return -1;
    return m_visible[static_cast<size_t>(m_current)];
}

// --- field access ------------------------------------------------------------

QVariant Table::value(int field) const
{
    if (m_state != State::Browse)
        return field < 0 || field >= m_buffer.size() ? QVariant() : m_buffer.at(field);
    const int row = storedCurrentIndex();
    if (row < 0 || field < 0 || field >= m_fields.size())
        return QVariant();
    return m_store.value(static_cast<size_t>(row), field);
}

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

Table::RowView Table::visibleRow(int visibleRow) const
{
    return RowView(&m_store, static_cast<size_t>(m_visible.at(static_cast<size_t>(visibleRow))));
}

QVariant Table::visibleValue(int visibleRow, int field) const
{
    return m_store.value(static_cast<size_t>(m_visible.at(static_cast<size_t>(visibleRow))), field);
}

// --- ordering and keys -------------------------------------------------------------

template <typename A, typename B>
int Table::compareOrder(const A &a, const B &b, int orderFields) const
{
    const int count = std::min(orderFields, static_cast<int>(m_order.size()));
    for (int i = 0; i < count; ++i) {
        const int f = m_order.at(i);
        if (const int c = compareField(m_fields.at(f).type, a, b, f); c != 0)
            return c;
    }
    return 0;
}

int Table::compareRows(const Row &a, const Row &b) const
{
    return compareOrder(a, b, static_cast<int>(m_order.size()));
}

int Table::compareRows(const RowView &a, const Row &b) const
{
    return compareOrder(a, b, static_cast<int>(m_order.size()));
}

namespace {

// The first stored row in [from, to) for which `pred` fails, the rows being
// partitioned by it.
template <typename P>
size_t partitionPoint(size_t from, size_t to, P pred)
{
    while (from < to) {
        const size_t mid = from + (to - from) / 2;
        if (pred(mid))
            from = mid + 1;
        else
            to = mid;
    }
    return from;
}

} // namespace

int Table::insertPosition(const Row &row) const
{
    if (m_order.isEmpty())
        return static_cast<int>(m_store.rowCount());
    const int all = static_cast<int>(m_order.size());
    return static_cast<int>(partitionPoint(
        0, m_store.rowCount(), [&](size_t i) { return compareOrder(row, RowView(&m_store, i), all) >= 0; }));
}

int Table::findKey(const Row &row, int ignoreIndex) const
{
    if (!m_unique || m_order.isEmpty())
        return -1;
    const int all = static_cast<int>(m_order.size());
    size_t i = partitionPoint(0, m_store.rowCount(),
                              [&](size_t r) { return compareOrder(RowView(&m_store, r), row, all) < 0; });
    for (; i < m_store.rowCount() && compareOrder(RowView(&m_store, i), row, all) == 0; ++i) {
        if (static_cast<int>(i) != ignoreIndex)
            return static_cast<int>(i);
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
    if (m_master && m_linkActive && m_master->storedCurrentIndex() >= 0) {
        for (int i = 0; i < m_linkDetail.size(); ++i)
            m_buffer[m_linkDetail.at(i)] =
                normaliseFieldValue(m_fields.at(m_linkDetail.at(i)), m_master->value(m_linkMaster.at(i)));
    }
}

void Table::edit()
{
    requireBrowse("edit");
    if (m_current < 0)
        throw TableError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    m_editIndex = m_visible[static_cast<size_t>(m_current)];
    m_buffer = m_store.row(static_cast<size_t>(m_editIndex));
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
        const int all = static_cast<int>(m_order.size());
        const bool keepsPlace =
            (oldIndex == 0 || compareOrder(RowView(&m_store, static_cast<size_t>(oldIndex - 1)), row, all) <= 0)
            && (oldIndex + 1 >= static_cast<int>(m_store.rowCount())
                || compareOrder(row, RowView(&m_store, static_cast<size_t>(oldIndex + 1)), all) <= 0);
        ++m_changeCount;
        if (keepsPlace && isVisible(row)) {
            replaceRowAt(static_cast<size_t>(oldIndex), row);
            emit rowChanged(m_current);
            return;
        }
        eraseRowsAt({static_cast<quint32>(oldIndex)});
    }
    const int pos = insertPosition(row);
    insertRowAt(static_cast<size_t>(pos), row);
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
    const auto index = static_cast<size_t>(m_visible[static_cast<size_t>(current)]);
    eraseRowsAt({static_cast<quint32>(index)});
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
    insertRowAt(static_cast<size_t>(pos), row);
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

template <typename At>
std::pair<bool, size_t> Table::orderCheck(size_t count, At at) const
{
    const int all = static_cast<int>(m_order.size());
    size_t firstEqual = 0;
    for (size_t i = 1; i < count; ++i) {
        const int c = compareOrder(at(i - 1), at(i), all);
        if (c > 0)
            return {false, 0};
        if (c == 0 && firstEqual == 0)
            firstEqual = i;
    }
    return {true, firstEqual};
}

QString Table::doubledKeyMessage(const Row &row) const
{
    return QStringLiteral("Key violation: %1 has two rows with %2 = '%3'")
        .arg(m_name, m_indexName.isEmpty() ? QStringLiteral("the key") : m_indexName, keyText(row));
}

void Table::setCheckedRows(std::vector<Row> rows)
{
    if (!m_order.isEmpty()) {
        // One pass tells whether the rows are in order and finds the first
        // pair of equal keys; rows out of order are sorted and looked at again.
        const auto rowAt = [&rows](size_t i) -> const Row & { return rows[i]; };
        auto [sorted, firstEqual] = orderCheck(rows.size(), rowAt);
        if (!sorted) {
            std::stable_sort(rows.begin(), rows.end(),
                             [this](const Row &a, const Row &b) { return compareRows(a, b) < 0; });
            firstEqual = orderCheck(rows.size(), rowAt).second;
        }
        if (m_unique && firstEqual > 0)
            throw TableError(doubledKeyMessage(rows[firstEqual]));
    }
    recordAllRows(true);
    m_store.assign(rows);
    recordAllRows(false);
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

void Table::setStoredRowsFrom(Table &scratch)
{
    requireBrowse("load");
    if (!m_order.isEmpty()) {
        // The same pass as setCheckedRows, on the rows where they are; rows
        // out of order go the general way, which sorts them.
        const TableStore &rows = scratch.m_store;
        const auto [sorted, firstEqual] = orderCheck(rows.rowCount(), [&rows](size_t i) { return RowView(&rows, i); });
        if (!sorted) {
            std::vector<Row> copies = scratch.allRows().toRows();
            scratch.clear();
            setCheckedRows(std::move(copies));
            return;
        }
        if (m_unique && firstEqual > 0)
            throw TableError(doubledKeyMessage(rows.row(firstEqual)));
    }
    takeRowsFrom(scratch);
}

void Table::takeRowsFrom(Table &source)
{
    requireBrowse("load");
    bool sameLayout =
        source.m_fields.size() == m_fields.size() && source.m_order == m_order && source.m_unique == m_unique;
    for (int i = 0; sameLayout && i < m_fields.size(); ++i)
        sameLayout = source.m_fields.at(i).name == m_fields.at(i).name
            && source.m_fields.at(i).type == m_fields.at(i).type && source.m_fields.at(i).width == m_fields.at(i).width;
    if (!sameLayout)
        throw TableError(QStringLiteral("%1: the rows of %2 do not fit").arg(m_name, source.m_name));
    recordAllRows(true);
    m_store.take(source.m_store);
    recordAllRows(false);
    ++m_changeCount;
    source.clear();
    m_current = -1;
    refresh(-1, 0);
}

std::unique_ptr<Table> Table::copyRows() const
{
    QStringList order;
    for (int f : m_order)
        order << m_fields.at(f).name;
    auto copy = std::make_unique<Table>(m_name, m_fields, order, m_unique, m_indexName);
    TableStore rows(m_store);
    copy->m_store.take(rows);
    copy->refresh(-1, 0);
    return copy;
}

void Table::clear()
{
    cancel();
    recordAllRows(true);
    m_store.clear();
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

int Table::removeRows(size_t from, size_t to, const std::function<bool(const RowView &)> &pred)
{
    // Every row is looked at before any goes.
    std::vector<quint32> at;
    for (size_t i = from; i < to; ++i)
        if (pred(RowView(&m_store, i)))
            at.push_back(static_cast<quint32>(i));
    eraseRowsAt(at);
    return static_cast<int>(at.size());
}

int Table::removeRowsWhere(const std::function<bool(const RowView &)> &pred)
{
    requireBrowse("delete");
    const int removed = removeRows(0, m_store.rowCount(), pred);
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
    const int removed = removeRows(static_cast<size_t>(from), static_cast<size_t>(to),
                                   [&](const RowView &row) { return rowBelongsTo(row, masterRow); });
    if (removed > 0) {
        ++m_changeCount;
        refresh(-1, m_current);
    }
    return removed;
}

int Table::changeRowsWhere(const std::function<bool(const RowView &)> &pred, const std::function<void(Row &)> &change,
                           bool refuseDoubles)
{
    requireBrowse("change");
    std::vector<quint32> chosen;
    std::vector<Row> changed;
    for (size_t i = 0; i < m_store.rowCount(); ++i) {
        if (!pred(RowView(&m_store, i)))
            continue;
        Row row = m_store.row(i);
        change(row);
        for (int f = 0; f < m_fields.size(); ++f)
            if (!row.at(f).isNull())
                row[f] = normaliseFieldValue(m_fields.at(f), row.at(f));
        chosen.push_back(static_cast<quint32>(i));
        changed.push_back(std::move(row));
    }
    if (m_order.isEmpty()) {
        // No order to keep: each row changes where it stands.
        for (size_t k = 0; k < chosen.size(); ++k)
            replaceRowAt(chosen[k], changed[k]);
    } else {
        // A row whose new key another row holds, or a row changed before it
        // takes, keeps its values.
        const int all = static_cast<int>(m_order.size());
        std::vector<size_t> order(chosen.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return compareOrder(changed[a], changed[b], all) < 0; });
        std::vector<quint32> going;
        std::vector<Row> coming;
        for (const size_t k : order) {
            if (m_unique) {
                const int holder = findKey(changed[k], static_cast<int>(chosen[k]));
                const bool heldByChosen =
                    holder >= 0 && std::binary_search(chosen.begin(), chosen.end(), static_cast<quint32>(holder));
                if ((holder >= 0 && !heldByChosen)
                    || (!coming.empty() && compareOrder(coming.back(), changed[k], all) == 0)) {
                    if (refuseDoubles)
                        throw TableError(duplicateMessage(changed[k]));
                    continue;
                }
            }
            going.push_back(chosen[k]);
            coming.push_back(std::move(changed[k]));
        }
        std::sort(going.begin(), going.end());
        eraseRowsAt(going);
        std::vector<quint32> at(coming.size());
        for (size_t k = 0; k < coming.size(); ++k)
            at[k] = static_cast<quint32>(static_cast<size_t>(insertPosition(coming[k])) + k);
        insertRowsAt(at, coming);
        chosen = std::move(going);
    }
    if (chosen.empty())
        return 0;
    ++m_changeCount;
    refresh(-1, m_current);
    return static_cast<int>(chosen.size());
}

void Table::recordAllRows(bool removed)
{
    if (!m_recorder || m_store.rowCount() == 0)
        return;
    std::vector<quint32> at(m_store.rowCount());
    for (size_t i = 0; i < m_store.rowCount(); ++i)
        at[i] = static_cast<quint32>(i);
    if (removed)
        m_recorder->removed(*this, std::move(at));
    else
        m_recorder->inserted(*this, std::move(at));
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
    connect(master, &QObject::destroyed, this, [this] {
        m_master = nullptr;
        m_linkActive = false;
    });
}

void Table::setLinkActive(bool on)
{
    if (on == m_linkActive)
        return;
    m_linkActive = on;
    refresh(-1, 0);
}

template <typename M>
QString Table::linkText(int link, const M &masterRow) const
{
    // The master's value as this table would store it: cut to the width.
    const FieldDef &df = m_fields.at(m_linkDetail.at(link));
    const QVariant &masterValue = masterRow.at(m_linkMaster.at(link));
    QString text = masterValue.toString();
    if (df.type == FieldType::Text && df.width > 0 && text.size() > df.width)
        text = normaliseFieldValue(df, text).toString();
    return text;
}

template <typename R, typename M>
bool Table::rowBelongsTo(const R &row, const M &masterRow) const
{
    QString scratch;
    for (int i = 0; i < m_linkDetail.size(); ++i)
        if (textAt(row, m_linkDetail.at(i), scratch) != linkText(i, masterRow))
            return false;
    return true;
}

bool Table::belongsTo(const Row &row, const Row &masterRow) const
{
    return rowBelongsTo(row, masterRow);
}

bool Table::belongsTo(const RowView &row, const Row &masterRow) const
{
    return rowBelongsTo(row, masterRow);
}

template <typename M>
std::pair<int, int> Table::linkRange(const M &masterRow) const
{
    if (m_linkRangeFields.isEmpty())
        return {0, static_cast<int>(m_store.rowCount())};
    Row probe(m_fields.size());
    for (int link : m_linkRangeFields)
        probe[m_linkDetail.at(link)] = linkText(link, masterRow);
    return orderRange(probe, static_cast<int>(m_linkRangeFields.size()));
}

std::pair<int, int> Table::orderRange(const Row &probe, int orderFields) const
{
    const auto compare = [&](size_t i) { return compareOrder(RowView(&m_store, i), probe, orderFields); };
    const auto from = partitionPoint(0, m_store.rowCount(), [&](size_t i) { return compare(i) < 0; });
    const auto to = partitionPoint(from, m_store.rowCount(), [&](size_t i) { return compare(i) == 0; });
    return {static_cast<int>(from), static_cast<int>(to)};
}

template <typename R>
bool Table::isVisible(const R &row) const
{
    if (m_filtered && !m_filterExpr.accepts(row))
        return false;
    if (m_master && m_linkActive) {
        const int masterRow = m_master->storedCurrentIndex();
        if (masterRow < 0 || !rowBelongsTo(row, RowView(&m_master->m_store, static_cast<size_t>(masterRow))))
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
        m_visible.resize(m_store.rowCount());
        for (size_t i = 0; i < m_store.rowCount(); ++i)
            m_visible[i] = static_cast<int>(i);
    } else if (linked) {
        // Only the master row's range can hold visible rows; no master row, none.
        if (const int masterRow = m_master->storedCurrentIndex(); masterRow >= 0) {
            const auto [from, to] = linkRange(RowView(&m_master->m_store, static_cast<size_t>(masterRow)));
            for (int i = from; i < to; ++i)
                if (isVisible(RowView(&m_store, static_cast<size_t>(i))))
                    m_visible.push_back(i);
        }
    } else {
        m_visible.reserve(m_store.rowCount());
        for (size_t i = 0; i < m_store.rowCount(); ++i)
            if (isVisible(RowView(&m_store, i)))
                m_visible.push_back(static_cast<int>(i));
    }

    int target = fallbackVisible >= 0 ? fallbackVisible : m_current;
    if (keepIndex >= 0) // the kept row, or the row that follows its place
        target = static_cast<int>(std::lower_bound(m_visible.begin(), m_visible.end(), keepIndex) - m_visible.begin());
    const int count = rowCount();
    const int row = count == 0 ? -1 : std::clamp(target, 0, count - 1);
    m_current = row;
    m_atEnd = false;
    emit visibleRowsReset();
    emit currentRowChanged(m_current);
}
