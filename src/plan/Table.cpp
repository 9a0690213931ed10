#include "Table.h"
#include "CalendarTime.h"
#include "TableChanges.h"

#include <QTimeZone>
#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

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
    if (v.data_ptr().typeId() == QMetaType::QString)
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

// What a cell holds.
enum CellTag : quint8 {
    NoValue = 0,   // an invalid QVariant
    Compact = 1,   // the field's own compact form
    OddValue = 2,  // an index into the odd values
    NullText = 3,  // a null QString
    EmptyText = 4, // an empty QString that is not null
};

constexpr qint64 kMsecsPerDay = 86400000;

QDateTime readingFromMsecs(qint64 msecs)
{
    qint64 day = msecs / kMsecsPerDay;
    qint64 rest = msecs % kMsecsPerDay;
    if (rest < 0) {
        rest += kMsecsPerDay;
        --day;
    }
    return CalendarTime::at(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(rest)));
}

// Whether the date-time reads back the same from its wall-clock milliseconds.
bool fitsReading(const QDateTime &dt, qint64 &msecs)
{
    if (!dt.isValid() || !dt.date().isValid() || !dt.time().isValid())
        return false;
    msecs = CalendarTime::readingMsecs(dt);
    const QDateTime back = readingFromMsecs(msecs);
    return back == dt && back.timeSpec() == dt.timeSpec() && back.offsetFromUtc() == dt.offsetFromUtc()
           && back.date() == dt.date() && back.time() == dt.time()
           && (dt.timeSpec() != Qt::TimeZone || back.timeZone() == dt.timeZone());
}

const QString &nullText()
{
    static const QString text;
    return text;
}

const QString &emptyText()
{
    static const QString text = QStringLiteral("");
    return text;
}

// The values of rows[i], which lie wherever the reader's allocations put
// them, fetched a few rows ahead of their use.
void prefetchRow(const std::vector<Table::Row> &rows, size_t i)
{
    if (i >= rows.size())
        return;
    const char *values = reinterpret_cast<const char *>(rows[i].constData());
    const size_t bytes = static_cast<size_t>(rows[i].size()) * sizeof(QVariant);
    for (size_t b = 0; b < bytes; b += 64)
        __builtin_prefetch(values + b);
}

} // namespace

// The texts put into the pool while many rows are stored: texts shared by
// rows (one QString read once for many rows) take one pool place.
struct Table::TextCache
{
    struct Slot
    {
        const QChar *data = nullptr;
        qsizetype size = -1;
        quint32 index = 0;
    };
    static constexpr int kSlots = 64;
    explicit TextCache(int fields) : entries(static_cast<size_t>(fields) * kSlots) {}
    std::vector<Slot> entries;
};

Table::Table(const QString &name, const QList<FieldDef> &fields, const QStringList &orderFields,
             bool uniqueKey, const QString &indexName, QObject *parent)
    : QObject(parent), m_name(name), m_indexName(indexName), m_fields(fields), m_unique(uniqueKey)
{
    for (const QString &f : orderFields)
        m_order.append(requireField(f));
    // Money, reals and date-times take eight bytes of a row, texts and
    // integers four; the fields' tags follow them.
    for (const FieldDef &field : m_fields) {
        const bool wide = field.type == FieldType::Money || field.type == FieldType::Real
                          || field.type == FieldType::DateTime;
        m_offsets.push_back(static_cast<quint32>(m_stride));
        m_wide.push_back(wide ? 1 : 0);
        m_stride += wide ? 8 : 4;
    }
    m_tagBase = m_stride;
    m_stride += static_cast<size_t>(m_fields.size());
}

quint8 Table::tagAt(size_t row, int field) const
{
    return m_bytes[row * m_stride + m_tagBase + static_cast<size_t>(field)];
}

quint64 Table::bitsAt(size_t row, int field) const
{
    const quint8 *at = m_bytes.data() + row * m_stride + m_offsets[static_cast<size_t>(field)];
    if (m_wide[static_cast<size_t>(field)]) {
        quint64 bits;
        std::memcpy(&bits, at, 8);
        return bits;
    }
    quint32 bits;
    std::memcpy(&bits, at, 4);
    return bits;
}

void Table::setCell(size_t row, int field, quint8 tag, quint64 bits)
{
    quint8 *base = m_bytes.data() + row * m_stride;
    base[m_tagBase + static_cast<size_t>(field)] = tag;
    quint8 *at = base + m_offsets[static_cast<size_t>(field)];
    if (m_wide[static_cast<size_t>(field)]) {
        std::memcpy(at, &bits, 8);
    } else {
        const auto narrow = static_cast<quint32>(bits);
        std::memcpy(at, &narrow, 4);
    }
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

// --- compact storage ------------------------------------------------------------

QVariant Table::cellValue(size_t row, int field) const
{
    const quint64 bits = bitsAt(row, field);
    switch (tagAt(row, field)) {
    case NoValue:
        return QVariant();
    case OddValue:
        return m_odd[static_cast<size_t>(bits)];
    case NullText:
        return QVariant(nullText());
    case EmptyText:
        return QVariant(emptyText());
    default:
        break;
    }
    switch (m_fields.at(field).type) {
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(poolText(static_cast<size_t>(bits)));
    case FieldType::Money:
    case FieldType::Real:
        return QVariant(std::bit_cast<double>(bits));
    case FieldType::Integer:
        return QVariant(static_cast<int>(static_cast<qint32>(static_cast<quint32>(bits))));
    case FieldType::DateTime:
        return QVariant(readingFromMsecs(static_cast<qint64>(bits)));
    }
    return QVariant();
}

const QString *Table::cellText(size_t row, int field) const
{
    const FieldType type = m_fields.at(field).type;
    if (type != FieldType::Text && type != FieldType::Memo)
        return nullptr;
    switch (tagAt(row, field)) {
    case Compact:
        return &poolText(static_cast<size_t>(bitsAt(row, field)));
    case NoValue:
    case NullText:
        return &nullText();
    case EmptyText:
        return &emptyText();
    default:
        return nullptr;
    }
}

// Both walk the rows' bytes directly: a pass over a whole column costs a
// few instructions a row.
void Table::columnTexts(int field, size_t first, size_t count, const QString **texts) const
{
    const FieldType type = m_fields.at(field).type;
    if (type != FieldType::Text && type != FieldType::Memo) {
        std::fill(texts, texts + count, nullptr);
        return;
    }
    const QString *const none = &nullText();
    const QString *const empty = &emptyText();
    const size_t tag = m_tagBase + static_cast<size_t>(field);
    const size_t cell = m_offsets[static_cast<size_t>(field)];
    const bool wide = m_wide[static_cast<size_t>(field)];
    const quint8 *row = m_bytes.data() + first * m_stride;
    for (size_t i = 0; i < count; ++i, row += m_stride) {
        switch (row[tag]) {
        case Compact: {
            size_t index = 0;
            if (wide) {
                quint64 bits;
                std::memcpy(&bits, row + cell, 8);
                index = static_cast<size_t>(bits);
            } else {
                quint32 bits;
                std::memcpy(&bits, row + cell, 4);
                index = bits;
            }
            texts[i] = &poolText(index);
            break;
        }
        case NoValue:
        case NullText: texts[i] = none; break;
        case EmptyText: texts[i] = empty; break;
        default: texts[i] = nullptr; break;
        }
    }
}

void Table::columnNumbers(int field, size_t first, size_t count, double *numbers, bool *held) const
{
    const FieldType type = m_fields.at(field).type;
    const size_t tag = m_tagBase + static_cast<size_t>(field);
    const size_t cell = m_offsets[static_cast<size_t>(field)];
    const bool wide = m_wide[static_cast<size_t>(field)];
    const quint8 *row = m_bytes.data() + first * m_stride;
    for (size_t i = 0; i < count; ++i, row += m_stride) {
        held[i] = (type == FieldType::Money || type == FieldType::Real) && wide && row[tag] == Compact;
        numbers[i] = 0.0;
        if (held[i])
            std::memcpy(&numbers[i], row + cell, 8);
    }
}

Table::Row Table::rowAt(size_t row) const
{
    Row values;
    values.reserve(m_fields.size());
    for (int f = 0; f < m_fields.size(); ++f)
        values.append(cellValue(row, f));
    return values;
}

quint32 Table::addText(const QString &text)
{
    if (!m_freeTexts.empty()) {
        const quint32 index = m_freeTexts.back();
        m_freeTexts.pop_back();
        poolText(index) = text;
        poolUses(index) = 1;
        return index;
    }
    if (m_textCount % kPoolChunk == 0)
        m_textChunks.push_back(std::make_unique<PoolChunk>());
    const auto index = static_cast<quint32>(m_textCount++);
    poolText(index) = text;
    poolUses(index) = 1;
    return index;
}

// The pool place for a text that is neither null nor empty, put into
// `field` of `row`: one the cache or a neighbouring row already has, or a new one.
quint32 Table::textIndex(size_t row, int field, const QString &text, TextCache *cache)
{
    quint32 index = 0;
    bool found = false;
    if (cache) {
        const auto key = reinterpret_cast<quintptr>(text.constData());
        const size_t slot = static_cast<size_t>(field) * TextCache::kSlots
                            + static_cast<size_t>(((key >> 3) * 0x9E3779B97F4A7C15ull) >> 58);
        TextCache::Slot &s = cache->entries[slot];
        if (s.data == text.constData() && s.size == text.size()) {
            index = s.index;
            ++poolUses(index);
            found = true;
        } else {
            index = addText(text);
            s = {text.constData(), text.size(), index};
            found = true;
        }
    } else {
        // A text equal to the same field of a neighbour shares its place.
        for (const size_t other : {row - 1, row + 1}) {
            if (other >= m_rowCount || (row == 0 && other == row - 1))
                continue;
            if (tagAt(other, field) == Compact
                && poolText(static_cast<size_t>(bitsAt(other, field))) == text) {
                index = static_cast<quint32>(bitsAt(other, field));
                ++poolUses(index);
                found = true;
                break;
            }
        }
    }
    if (!found)
        index = addText(text);
    return index;
}

void Table::storeCell(size_t row, int field, const QVariant &value, TextCache *cache)
{
    quint8 tag = NoValue;
    quint64 bits = 0;
    // Every way out of the switch below puts what it found into the cell.
    struct Put
    {
        Table *table;
        size_t row;
        int field;
        quint8 &tag;
        quint64 &bits;
        ~Put() { table->setCell(row, field, tag, bits); }
    } put{this, row, field, tag, bits};
    if (!value.isValid())
        return;
    const int typeId = value.data_ptr().typeId(); // inline, unlike QVariant::typeId()
    switch (m_fields.at(field).type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (typeId == QMetaType::QString) {
            const QString &text = *static_cast<const QString *>(value.constData());
            if (text.isNull()) {
                tag = NullText;
                return;
            }
            if (text.isEmpty()) {
                tag = EmptyText;
                return;
            }
            tag = Compact;
            bits = textIndex(row, field, text, cache);
            return;
        }
        break;
    case FieldType::Money:
    case FieldType::Real:
        if (typeId == QMetaType::Double) {
            tag = Compact;
            bits = std::bit_cast<quint64>(*static_cast<const double *>(value.constData()));
            return;
        }
        break;
    case FieldType::Integer:
        if (typeId == QMetaType::Int) {
            tag = Compact;
            bits = static_cast<quint32>(*static_cast<const int *>(value.constData()));
            return;
        }
        break;
    case FieldType::DateTime:
        if (typeId == QMetaType::QDateTime) {
            qint64 msecs = 0;
            if (fitsReading(*static_cast<const QDateTime *>(value.constData()), msecs)) {
                tag = Compact;
                bits = static_cast<quint64>(msecs);
                return;
            }
        }
        break;
    }
    quint32 index = 0;
    if (!m_freeOdd.empty()) {
        index = m_freeOdd.back();
        m_freeOdd.pop_back();
        m_odd[index] = value;
    } else {
        m_odd.push_back(value);
        index = static_cast<quint32>(m_odd.size() - 1);
    }
    tag = OddValue;
    bits = index;
}

void Table::releaseCell(size_t row, int field)
{
    // A pool place may now be freed and reused: what the append cache knows
    // of the pool no longer holds.
    m_appendCache.reset();
    const quint8 tag = tagAt(row, field);
    if (tag == NoValue)
        return;
    const auto index = static_cast<quint32>(bitsAt(row, field));
    if (tag == OddValue) {
        m_odd[index] = QVariant();
        m_freeOdd.push_back(index);
    } else if (tag == Compact
               && (m_fields.at(field).type == FieldType::Text || m_fields.at(field).type == FieldType::Memo)) {
        if (--poolUses(index) == 0) {
            poolText(index) = QString();
            m_freeTexts.push_back(index);
        }
    }
    setCell(row, field, NoValue, 0);
}

void Table::storeRow(size_t row, const Row &values, TextCache *cache)
{
    static const QVariant none;
    for (int f = 0; f < m_fields.size(); ++f)
        storeCell(row, f, f < values.size() ? values.at(f) : none, cache);
}

void Table::releaseRow(size_t row)
{
    for (int f = 0; f < m_fields.size(); ++f)
        releaseCell(row, f);
}

void Table::insertRowAt(size_t row, const Row &values)
{
    m_bytes.insert(m_bytes.begin() + static_cast<std::ptrdiff_t>(row * m_stride), m_stride, 0);
    ++m_rowCount;
    storeRow(row, values, nullptr);
    if (m_recorder)
        m_recorder->inserted(*this, {static_cast<quint32>(row)});
}

void Table::eraseRows(size_t from, size_t to)
{
    if (from >= to)
        return;
    if (m_recorder) {
        std::vector<quint32> at;
        for (size_t r = from; r < to; ++r)
            at.push_back(static_cast<quint32>(r));
        m_recorder->removed(*this, std::move(at));
    }
    for (size_t r = from; r < to; ++r)
        releaseRow(r);
    m_bytes.erase(m_bytes.begin() + static_cast<std::ptrdiff_t>(from * m_stride),
                  m_bytes.begin() + static_cast<std::ptrdiff_t>(to * m_stride));
    m_rowCount -= to - from;
    if (m_rowCount == 0)
        clearStorage();
}

void Table::clearStorage()
{
    std::vector<quint8>().swap(m_bytes);
    std::vector<std::unique_ptr<PoolChunk>>().swap(m_textChunks);
    m_textCount = 0;
    std::vector<quint32>().swap(m_freeTexts);
    std::vector<QVariant>().swap(m_odd);
    std::vector<quint32>().swap(m_freeOdd);
    m_appendCache.reset();
    m_rowCount = 0;
}

void Table::storeAllRows(std::vector<Row> &rows)
{
    clearStorage();
    m_bytes.assign(rows.size() * m_stride, 0);
    m_rowCount = rows.size();
    TextCache cache(m_fields.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        prefetchRow(rows, r + 8);
        storeRow(r, rows[r], &cache);
        rows[r] = Row();
    }
}

Table::RowView Table::RowRange::at(size_t i) const
{
    if (i >= size())
        throw std::out_of_range("Table::RowRange::at");
    return RowView(m_table, i);
}

std::vector<Table::Row> Table::RowRange::toRows() const
{
    std::vector<Row> rows;
    rows.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        rows.push_back(m_table->rowAt(i));
    return rows;
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
    return cellValue(static_cast<size_t>(row), field);
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

Table::RowView Table::visibleRow(int visibleRow) const
{
    return RowView(this, static_cast<size_t>(m_visible.at(static_cast<size_t>(visibleRow))));
}

QVariant Table::visibleValue(int visibleRow, int field) const
{
    return cellValue(static_cast<size_t>(m_visible.at(static_cast<size_t>(visibleRow))), field);
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
        return static_cast<int>(m_rowCount);
    const int all = static_cast<int>(m_order.size());
    return static_cast<int>(partitionPoint(
        0, m_rowCount, [&](size_t i) { return compareOrder(row, RowView(this, i), all) >= 0; }));
}

int Table::findKey(const Row &row, int ignoreIndex) const
{
    if (!m_unique || m_order.isEmpty())
        return -1;
    const int all = static_cast<int>(m_order.size());
    size_t i = partitionPoint(0, m_rowCount,
                              [&](size_t r) { return compareOrder(RowView(this, r), row, all) < 0; });
    for (; i < m_rowCount && compareOrder(RowView(this, i), row, all) == 0; ++i) {
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
    m_buffer = rowAt(static_cast<size_t>(m_editIndex));
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
            (oldIndex == 0 || compareOrder(RowView(this, static_cast<size_t>(oldIndex - 1)), row, all) <= 0)
            && (oldIndex + 1 >= static_cast<int>(m_rowCount)
                || compareOrder(row, RowView(this, static_cast<size_t>(oldIndex + 1)), all) <= 0);
        ++m_changeCount;
        if (keepsPlace && isVisible(row)) {
            if (m_recorder)
                m_recorder->replacing(*this, static_cast<size_t>(oldIndex));
            releaseRow(static_cast<size_t>(oldIndex));
            storeRow(static_cast<size_t>(oldIndex), row, nullptr);
            if (m_recorder)
                m_recorder->replaced(*this);
            emit rowChanged(m_current);
            return;
        }
        eraseRows(static_cast<size_t>(oldIndex), static_cast<size_t>(oldIndex) + 1);
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
    eraseRows(index, index + 1);
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
    recordAllRows(true);
    storeAllRows(rows);
    recordAllRows(false);
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

Table::~Table() = default;

void Table::reserveStoredRows(size_t rows)
{
    m_bytes.reserve(m_bytes.size() + rows * m_stride);
}

void Table::beginStoredRow()
{
    if (!m_appendCache)
        m_appendCache = std::make_unique<TextCache>(m_fields.size());
    m_bytes.resize(m_bytes.size() + m_stride, 0);
    ++m_rowCount;
}

void Table::setStoredText(int field, const QString &text)
{
    const size_t row = m_rowCount - 1;
    if (text.isNull())
        setCell(row, field, NullText, 0);
    else if (text.isEmpty())
        setCell(row, field, EmptyText, 0);
    else
        setCell(row, field, Compact, textIndex(row, field, text, m_appendCache.get()));
}

void Table::setStoredNumber(int field, double value)
{
    setCell(m_rowCount - 1, field, Compact, std::bit_cast<quint64>(value));
}

void Table::setStoredInteger(int field, int value)
{
    setCell(m_rowCount - 1, field, Compact, static_cast<quint32>(value));
}

void Table::setStoredValue(int field, const QVariant &value)
{
    storeCell(m_rowCount - 1, field, value, m_appendCache.get());
}

void Table::setStoredRowsFrom(Table &scratch)
{
    requireBrowse("load");
    if (!m_order.isEmpty()) {
        // The same pass as setCheckedRows, on the rows where they are; rows
        // out of order go the general way, which sorts them.
        const int all = static_cast<int>(m_order.size());
        size_t firstEqual = 0;
        for (size_t i = 1; i < scratch.m_rowCount; ++i) {
            const int c = compareOrder(RowView(&scratch, i - 1), RowView(&scratch, i), all);
            if (c > 0) {
                std::vector<Row> rows = scratch.allRows().toRows();
                scratch.clear();
                setStoredRows(std::move(rows));
                return;
            }
            if (c == 0 && firstEqual == 0)
                firstEqual = i;
        }
        if (m_unique && firstEqual > 0)
            throw TableError(QStringLiteral("Key violation: %1 has two rows with %2 = '%3'")
                                 .arg(m_name, m_indexName.isEmpty() ? QStringLiteral("the key") : m_indexName,
                                      keyText(scratch.rowAt(firstEqual))));
    }
    scratch.m_appendCache.reset();
    takeRowsFrom(scratch);
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
    recordAllRows(true);
    m_appendCache.reset();
    m_bytes = std::move(source.m_bytes);
    m_rowCount = std::exchange(source.m_rowCount, 0);
    m_textChunks = std::move(source.m_textChunks);
    m_textCount = std::exchange(source.m_textCount, 0);
    m_freeTexts = std::move(source.m_freeTexts);
    m_odd = std::move(source.m_odd);
    m_freeOdd = std::move(source.m_freeOdd);
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
    copy->m_bytes = m_bytes;
    copy->m_rowCount = m_rowCount;
    copy->m_textChunks.reserve(m_textChunks.size());
    for (const auto &chunk : m_textChunks)
        copy->m_textChunks.push_back(std::make_unique<PoolChunk>(*chunk));
    copy->m_textCount = m_textCount;
    copy->m_freeTexts = m_freeTexts;
    copy->m_odd = m_odd;
    copy->m_freeOdd = m_freeOdd;
    copy->refresh(-1, 0);
    return copy;
}

void Table::clear()
{
    cancel();
    recordAllRows(true);
    clearStorage();
    ++m_changeCount;
    m_current = -1;
    refresh(-1, 0);
}

int Table::removeRows(size_t from, size_t to, const std::function<bool(const RowView &)> &pred)
{
    // Every row is looked at before any goes; the rows kept close up.
    std::vector<char> goes(to - from);
    for (size_t i = from; i < to; ++i)
        goes[i - from] = pred(RowView(this, i)) ? 1 : 0;
    if (m_recorder) {
        std::vector<quint32> at;
        for (size_t i = from; i < to; ++i)
            if (goes[i - from])
                at.push_back(static_cast<quint32>(i));
        m_recorder->removed(*this, std::move(at));
    }
    size_t kept = from;
    for (size_t i = from; i < to; ++i) {
        if (goes[i - from]) {
            releaseRow(i);
            continue;
        }
        if (kept != i) {
            std::memcpy(m_bytes.data() + kept * m_stride, m_bytes.data() + i * m_stride, m_stride);
        }
        ++kept;
    }
    const size_t removed = to - kept;
    if (removed > 0) {
        m_bytes.erase(m_bytes.begin() + static_cast<std::ptrdiff_t>(kept * m_stride),
                      m_bytes.begin() + static_cast<std::ptrdiff_t>(to * m_stride));
        m_rowCount -= removed;
        if (m_rowCount == 0)
            clearStorage();
    }
    return static_cast<int>(removed);
}

int Table::removeRowsWhere(const std::function<bool(const RowView &)> &pred)
{
    requireBrowse("delete");
    const int removed = removeRows(0, m_rowCount, pred);
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

int Table::changeRowsWhere(const std::function<bool(const RowView &)> &pred,
                           const std::function<void(Row &)> &change, bool refuseDoubles)
{
    requireBrowse("change");
    std::vector<quint32> chosen;
    std::vector<Row> changed;
    for (size_t i = 0; i < m_rowCount; ++i) {
        if (!pred(RowView(this, i)))
            continue;
        Row row = rowAt(i);
        change(row);
        for (int f = 0; f < m_fields.size(); ++f)
            if (!row.at(f).isNull())
                row[f] = normaliseFieldValue(m_fields.at(f), row.at(f));
        chosen.push_back(static_cast<quint32>(i));
        changed.push_back(std::move(row));
    }
    if (m_order.isEmpty()) {
        // No order to keep: each row changes where it stands.
        for (size_t k = 0; k < chosen.size(); ++k) {
            if (m_recorder)
                m_recorder->replacing(*this, chosen[k]);
            releaseRow(chosen[k]);
            storeRow(chosen[k], changed[k], nullptr);
            if (m_recorder)
                m_recorder->replaced(*this);
        }
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

void Table::insertRowsAt(const std::vector<quint32> &at, const std::vector<Row> &rows)
{
    const size_t k = at.size();
    if (k == 0)
        return;
    const size_t total = m_rowCount + k;
    if (rows.size() != k || at.back() >= total)
        throw TableError(QStringLiteral("%1: rows put back out of place").arg(m_name));
    std::vector<quint8> bytes(total * m_stride, 0);
    size_t old = 0;
    size_t next = 0;
    for (size_t place = 0; place < total;) {
        if (next < k && at[next] == place) {
            ++next;
            ++place;
            continue;
        }
        const size_t end = next < k ? at[next] : total;
        std::memcpy(bytes.data() + place * m_stride, m_bytes.data() + old * m_stride, (end - place) * m_stride);
        old += end - place;
        place = end;
    }
    m_bytes.swap(bytes);
    m_rowCount = total;
    for (size_t i = 0; i < k; ++i)
        storeRow(at[i], rows[i], nullptr);
    if (m_recorder)
        m_recorder->inserted(*this, at);
}

void Table::eraseRowsAt(const std::vector<quint32> &at)
{
    size_t next = 0;
    removeRows(0, m_rowCount, [&](const RowView &row) {
        if (next < at.size() && at[next] == row.index()) {
            ++next;
            return true;
        }
        return false;
    });
}

void Table::recordAllRows(bool removed)
{
    if (!m_recorder || m_rowCount == 0)
        return;
    std::vector<quint32> at(m_rowCount);
    for (size_t i = 0; i < m_rowCount; ++i)
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
    connect(master, &QObject::destroyed, this, [this] { m_master = nullptr; m_linkActive = false; });
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
        return {0, static_cast<int>(m_rowCount)};
    Row probe(m_fields.size());
    for (int link : m_linkRangeFields)
        probe[m_linkDetail.at(link)] = linkText(link, masterRow);
    return orderRange(probe, static_cast<int>(m_linkRangeFields.size()));
}

std::pair<int, int> Table::orderRange(const Row &probe, int orderFields) const
{
    const auto from = partitionPoint(
        0, m_rowCount, [&](size_t i) { return compareOrder(RowView(this, i), probe, orderFields) < 0; });
    const auto to = partitionPoint(
        from, m_rowCount, [&](size_t i) { return compareOrder(RowView(this, i), probe, orderFields) == 0; });
    return {static_cast<int>(from), static_cast<int>(to)};
}

template <typename R>
bool Table::isVisible(const R &row) const
{
    if (m_filtered && !m_filterExpr.accepts(row))
        return false;
    if (m_master && m_linkActive) {
        const int masterRow = m_master->storedCurrentIndex();
        if (masterRow < 0 || !rowBelongsTo(row, RowView(m_master, static_cast<size_t>(masterRow))))
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
        m_visible.resize(m_rowCount);
        for (size_t i = 0; i < m_rowCount; ++i)
            m_visible[i] = static_cast<int>(i);
    } else if (linked) {
        // Only the master row's range can hold visible rows; no master row, none.
        if (const int masterRow = m_master->storedCurrentIndex(); masterRow >= 0) {
            const auto [from, to] = linkRange(RowView(m_master, static_cast<size_t>(masterRow)));
            for (int i = from; i < to; ++i)
                if (isVisible(RowView(this, static_cast<size_t>(i))))
                    m_visible.push_back(i);
        }
    } else {
        m_visible.reserve(m_rowCount);
        for (size_t i = 0; i < m_rowCount; ++i)
            if (isVisible(RowView(this, i)))
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
