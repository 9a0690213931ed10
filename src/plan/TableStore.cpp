#include "TableStore.h"
#include "CalendarTime.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <bit>
#include <stdexcept>
#include <utility>

namespace {

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

// The values of rows[i], which lie wherever the reader's allocations put
// them, fetched a few rows ahead of their use.
void prefetchRow(const std::vector<TableStore::Row> &rows, size_t i)
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
struct TableStore::TextCache
{
    struct Slot
    {
        const QChar *data = nullptr;
        qsizetype size = -1;
        quint32 index = 0;
    };
    static constexpr int kSlots = 64;
    explicit TextCache(int fields) : entries(static_cast<size_t>(fields) * kSlots) { }
    std::vector<Slot> entries;
};

TableStore::TableStore(const QList<FieldDef> &fields)
{
    // Money, reals and date-times take eight bytes of a row, texts and
    // integers four; the fields' tags follow them.
    for (const FieldDef &field : fields) {
        const bool wide =
            field.type == FieldType::Money || field.type == FieldType::Real || field.type == FieldType::DateTime;
        m_types.push_back(field.type);
        m_offsets.push_back(static_cast<quint32>(m_stride));
        m_wide.push_back(wide ? 1 : 0);
        m_stride += wide ? 8 : 4;
    }
    m_tagBase = m_stride;
    m_stride += static_cast<size_t>(fields.size());
}

TableStore::TableStore(const TableStore &other)
    : m_types(other.m_types), m_bytes(other.m_bytes), m_stride(other.m_stride), m_tagBase(other.m_tagBase),
      m_offsets(other.m_offsets), m_wide(other.m_wide), m_rowCount(other.m_rowCount), m_textCount(other.m_textCount),
      m_freeTexts(other.m_freeTexts), m_odd(other.m_odd), m_freeOdd(other.m_freeOdd)
{
    m_textChunks.reserve(other.m_textChunks.size());
    for (const auto &chunk : other.m_textChunks)
        m_textChunks.push_back(std::make_unique<PoolChunk>(*chunk));
}

TableStore::~TableStore() = default;

const QString &TableStore::nullText()
{
    static const QString text;
    return text;
}

const QString &TableStore::emptyText()
{
    static const QString text = QStringLiteral("");
    return text;
}

void TableStore::setCell(size_t row, int field, quint8 tag, quint64 bits)
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

// --- reading ------------------------------------------------------------------

QVariant TableStore::value(size_t row, int field) const
{
    const quint64 bits = bitsAt(row, field);
    switch (tagAt(row, field)) {
    case NoValue: return QVariant();
    case OddValue: return m_odd[static_cast<size_t>(bits)];
    case NullText: return QVariant(nullText());
    case EmptyText: return QVariant(emptyText());
    default: break;
    }
    switch (m_types[static_cast<size_t>(field)]) {
    case FieldType::Text:
    case FieldType::Memo: return QVariant(poolText(static_cast<size_t>(bits)));
    case FieldType::Money:
    case FieldType::Real: return QVariant(std::bit_cast<double>(bits));
    case FieldType::Integer: return QVariant(static_cast<int>(static_cast<qint32>(static_cast<quint32>(bits))));
    case FieldType::DateTime: return QVariant(readingFromMsecs(static_cast<qint64>(bits)));
    }
    return QVariant();
}

TableStore::Row TableStore::row(size_t row) const
{
    if (row >= m_rowCount)
        throw std::out_of_range("TableStore::row");
    Row values;
    values.reserve(fieldCount());
    for (int f = 0; f < fieldCount(); ++f)
        values.append(value(row, f));
    return values;
}

// Both walk the rows' bytes directly: a pass over a whole column costs a
// few instructions a row.
void TableStore::columnTexts(int field, size_t first, size_t count, const QString **texts) const
{
    if (!isText(field)) {
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

void TableStore::columnNumbers(int field, size_t first, size_t count, double *numbers, bool *held) const
{
    const FieldType type = m_types[static_cast<size_t>(field)];
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

// --- cells ----------------------------------------------------------------------

quint32 TableStore::addText(const QString &text)
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
quint32 TableStore::textIndex(size_t row, int field, const QString &text, TextCache *cache)
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
            if (tagAt(other, field) == Compact && poolText(static_cast<size_t>(bitsAt(other, field))) == text) {
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

void TableStore::storeCell(size_t row, int field, const QVariant &value, TextCache *cache)
{
    quint8 tag = NoValue;
    quint64 bits = 0;
    // Every way out of the switch below puts what it found into the cell.
    struct Put
    {
        TableStore *store;
        size_t row;
        int field;
        quint8 &tag;
        quint64 &bits;
        ~Put() { store->setCell(row, field, tag, bits); }
    } put{this, row, field, tag, bits};
    if (!value.isValid())
        return;
    const int typeId = value.data_ptr().typeId(); // inline, unlike QVariant::typeId()
    switch (m_types[static_cast<size_t>(field)]) {
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

void TableStore::releaseCell(size_t row, int field)
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
    } else if (tag == Compact && isText(field)) {
        if (--poolUses(index) == 0) {
            poolText(index) = QString();
            m_freeTexts.push_back(index);
        }
    }
    setCell(row, field, NoValue, 0);
}

void TableStore::storeRow(size_t row, const Row &values, TextCache *cache)
{
    static const QVariant none;
    for (int f = 0; f < fieldCount(); ++f)
        storeCell(row, f, f < values.size() ? values.at(f) : none, cache);
}

void TableStore::releaseRow(size_t row)
{
    for (int f = 0; f < fieldCount(); ++f)
        releaseCell(row, f);
}

// --- appending rows already checked ------------------------------------------------

void TableStore::reserve(size_t rows)
{
    m_bytes.reserve(m_bytes.size() + rows * m_stride);
}

void TableStore::beginRow()
{
    if (!m_appendCache)
        m_appendCache = std::make_unique<TextCache>(fieldCount());
    m_bytes.resize(m_bytes.size() + m_stride, 0);
    ++m_rowCount;
}

size_t TableStore::lastRowFor(int field)
{
    if (m_rowCount == 0 || field < 0 || field >= fieldCount())
        throw std::out_of_range("TableStore: a value for no row or no field");
    const size_t row = m_rowCount - 1;
    if (tagAt(row, field) != NoValue)
        releaseCell(row, field);
    return row;
}

void TableStore::setText(int field, const QString &text)
{
    const size_t row = lastRowFor(field);
    if (text.isNull())
        setCell(row, field, NullText, 0);
    else if (text.isEmpty())
        setCell(row, field, EmptyText, 0);
    else
        setCell(row, field, Compact, textIndex(row, field, text, m_appendCache.get()));
}

void TableStore::setNumber(int field, double value)
{
    setCell(lastRowFor(field), field, Compact, std::bit_cast<quint64>(value));
}

void TableStore::setInteger(int field, int value)
{
    setCell(lastRowFor(field), field, Compact, static_cast<quint32>(value));
}

void TableStore::setValue(int field, const QVariant &value)
{
    storeCell(lastRowFor(field), field, value, m_appendCache.get());
}

void TableStore::appendRow(const Row &values)
{
    beginRow();
    storeRow(m_rowCount - 1, values, m_appendCache.get());
}

// --- changes at places ------------------------------------------------------------

void TableStore::insertRow(size_t at, const Row &values)
{
    if (at > m_rowCount)
        throw std::out_of_range("TableStore::insertRow");
    m_bytes.insert(m_bytes.begin() + static_cast<std::ptrdiff_t>(at * m_stride), m_stride, 0);
    ++m_rowCount;
    storeRow(at, values, nullptr);
}

void TableStore::insertRows(const std::vector<quint32> &at, const std::vector<Row> &rows)
{
    const size_t k = at.size();
    if (rows.size() != k)
        throw std::out_of_range("TableStore::insertRows: places and rows differ");
    if (k == 0)
        return;
    const size_t total = m_rowCount + k;
    for (size_t i = 0; i < k; ++i)
        if (at[i] >= total || (i > 0 && at[i] <= at[i - 1]))
            throw std::out_of_range("TableStore::insertRows: rows put back out of place");
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
}

void TableStore::replaceRow(size_t at, const Row &values)
{
    if (at >= m_rowCount)
        throw std::out_of_range("TableStore::replaceRow");
    releaseRow(at);
    storeRow(at, values, nullptr);
}

void TableStore::eraseRows(const std::vector<quint32> &at)
{
    for (size_t i = 0; i < at.size(); ++i)
        if (at[i] >= m_rowCount || (i > 0 && at[i] <= at[i - 1]))
            throw std::out_of_range("TableStore::eraseRows: no row at a place");
    if (at.empty())
        return;
    for (const quint32 row : at)
        releaseRow(row);
    // The rows between two that go close up, a run at a time.
    size_t kept = at.front();
    for (size_t k = 0; k < at.size(); ++k) {
        const size_t from = at[k] + 1;
        const size_t to = k + 1 < at.size() ? at[k + 1] : m_rowCount;
        std::memmove(m_bytes.data() + kept * m_stride, m_bytes.data() + from * m_stride, (to - from) * m_stride);
        kept += to - from;
    }
    m_rowCount = kept;
    m_bytes.resize(kept * m_stride);
    if (m_rowCount == 0)
        clear();
}

// --- all rows at once ----------------------------------------------------------------

void TableStore::assign(std::vector<Row> &rows)
{
    clear();
    m_bytes.assign(rows.size() * m_stride, 0);
    m_rowCount = rows.size();
    TextCache cache(fieldCount());
    for (size_t r = 0; r < rows.size(); ++r) {
        prefetchRow(rows, r + 8);
        storeRow(r, rows[r], &cache);
        rows[r] = Row();
    }
}

void TableStore::take(TableStore &other)
{
    if (other.m_types != m_types)
        throw std::invalid_argument("TableStore::take: the rows of another layout");
    if (&other == this)
        return;
    m_appendCache.reset();
    m_bytes = std::move(other.m_bytes);
    m_rowCount = std::exchange(other.m_rowCount, 0);
    m_textChunks = std::move(other.m_textChunks);
    m_textCount = std::exchange(other.m_textCount, 0);
    m_freeTexts = std::move(other.m_freeTexts);
    m_odd = std::move(other.m_odd);
    m_freeOdd = std::move(other.m_freeOdd);
    other.clear();
}

void TableStore::clear()
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
