#include "DataPacket.h"
#include "CalendarTime.h"

#include <QDate>
#include <QDateTime>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace DataPacket {

namespace {

constexpr unsigned char kMagic[4] = {0x96, 0x19, 0xE0, 0xBD};
constexpr quint32 kVersion = 1;
constexpr quint32 kHeaderSize = 24;
constexpr quint32 kAttributes = 3;
constexpr qint64 kMsecsPerDay = 86400000;

enum : quint16 {
    TypeInteger = 0x01,
    TypeWidthValue = 0x02,
    TypeDouble = 0x04,
    TypeDateTime = 0x08,
    TypeText = 0x49,
    TypeBytes = 0x4B,
    TypeArrayFlag = 0x80,
    TypeOrderArray = 0x82,
};

// --- writing -------------------------------------------------------------

class Out
{
public:
    QByteArray bytes;
    template <typename T>
    void num(T v)
    {
        T le = qToLittleEndian(v);
        bytes.append(reinterpret_cast<const char *>(&le), sizeof le);
    }
    void shortName(const QByteArray &name)
    {
        bytes.append(static_cast<char>(name.size()));
        bytes.append(name);
    }
};

struct Descriptor
{
    quint16 size;
    quint16 type;
};

Descriptor descriptorOf(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::Text: return {1, TypeText};
    case FieldType::Money: return {8, TypeDouble};
    case FieldType::Integer: return {4, TypeInteger};
    case FieldType::Memo: return {4, TypeBytes};
    case FieldType::DateTime: return {8, TypeDateTime};
    case FieldType::Real: return {8, TypeDouble};
    }
    return {0, 0};
}

void widthProperty(Out &o, quint16 width)
{
    o.shortName("WIDTH");
    o.num<quint16>(2);
    o.num<quint16>(TypeWidthValue);
    o.num<quint16>(width);
}

void subtypeProperty(Out &o, const QByteArray &subtype)
{
    o.shortName("SUBTYPE");
    o.num<quint16>(2);
    o.num<quint16>(TypeText);
    o.num<quint16>(static_cast<quint16>(subtype.size() + 1));
    o.bytes.append(subtype);
    o.bytes.append('\0');
}

void writeDescriptor(Out &o, const FieldDef &f)
{
    const Descriptor d = descriptorOf(f);
    o.shortName(f.name.toLatin1());
    o.num<quint16>(d.size);
    o.num<quint16>(d.type);
    o.num<quint16>(0);
    switch (f.type) {
    case FieldType::Text:
        o.num<quint16>(1);
        widthProperty(o, static_cast<quint16>(f.width));
        break;
    case FieldType::Money:
        o.num<quint16>(1);
        subtypeProperty(o, "Money");
        break;
    case FieldType::Memo:
        o.num<quint16>(2);
        subtypeProperty(o, "Text");
        widthProperty(o, static_cast<quint16>(f.width));
        break;
    default: o.num<quint16>(0); break;
    }
}

qint64 encodeDateTime(const QDateTime &dt)
{
    return CalendarTime::readingMsecs(dt);
}

QDateTime decodeDateTime(qint64 v)
{
    qint64 day = v / kMsecsPerDay;
    qint64 ms = v % kMsecsPerDay;
    if (ms < 0) {
        ms += kMsecsPerDay;
        --day;
    }
    return CalendarTime::at(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

void writeValue(Out &o, const FieldDef &f, const QVariant &v)
{
    if (v.isNull() || !v.isValid()) {
        o.bytes.append('\0');
        return;
    }
    o.bytes.append('\1');
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const QByteArray utf8 = v.toString().toUtf8();
        o.num<quint32>(static_cast<quint32>(utf8.size()));
        o.bytes.append(utf8);
        break;
    }
    case FieldType::Money:
    case FieldType::Real: {
        const double d = v.toDouble();
        quint64 bits;
        std::memcpy(&bits, &d, sizeof bits);
        o.num<quint64>(bits);
        break;
    }
    case FieldType::Integer: o.num<qint32>(v.toInt()); break;
    case FieldType::DateTime: o.num<qint64>(encodeDateTime(v.toDateTime())); break;
    }
}

// --- reading -------------------------------------------------------------------

class In
{
public:
    In(const QByteArray &data, const QString &fileName) : m_data(data), m_fileName(fileName) { }

    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }

    template <typename T>
    T num(const char *what)
    {
        need(sizeof(T), what);
        T v;
        std::memcpy(&v, m_data.constData() + m_pos, sizeof(T));
        m_pos += static_cast<qsizetype>(sizeof(T));
        return qFromLittleEndian(v);
    }

    QByteArray bytes(qint64 count, const char *what)
    {
        need(count, what);
        QByteArray b = m_data.mid(m_pos, static_cast<qsizetype>(count));
        m_pos += static_cast<qsizetype>(count);
        return b;
    }

    void skip(qint64 count, const char *what)
    {
        need(count, what);
        m_pos += static_cast<qsizetype>(count);
    }

    // UTF-8 text straight from the packet, without an intermediate copy.
    QString text(qint64 count, const char *what)
    {
        need(count, what);
        const QString s = QString::fromUtf8(m_data.constData() + m_pos, static_cast<qsizetype>(count));
        m_pos += static_cast<qsizetype>(count);
        return s;
    }

    QByteArray shortName(const char *what)
    {
        const quint8 len = num<quint8>(what);
        return bytes(len, what);
    }

    void need(qint64 count, const char *what) const
    {
        if (count < 0 || count > remaining())
            fail(QStringLiteral("the %1 runs past the end of the file").arg(QLatin1String(what)));
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw FileFormatError(
            m_fileName,
            QStringLiteral("\"%1\" is not a valid plan file: %2 (at byte %3).").arg(m_fileName, why).arg(m_pos));
    }

private:
    const QByteArray &m_data;
    QString m_fileName;
    qsizetype m_pos = 0;
};

struct Property
{
    QByteArray name;
    quint16 size = 0;
    quint16 type = 0;
    QByteArray value;
};

Property readProperty(In &in)
{
    Property p;
    p.name = in.shortName("property name");
    p.size = in.num<quint16>("property size");
    p.type = in.num<quint16>("property type");
    if (p.type & TypeArrayFlag) {
        const quint32 count = in.num<quint32>("property array count");
        p.value = in.bytes(static_cast<qint64>(count) * p.size, "property array");
    } else if (p.type == TypeText || p.type == TypeBytes) {
        qint64 length = 0;
        if (p.size == 1)
            length = in.num<quint8>("property length");
        else if (p.size == 2)
            length = in.num<quint16>("property length");
        else if (p.size == 4)
            length = in.num<quint32>("property length");
        else
            in.fail(QStringLiteral("a property has an unknown length size %1").arg(p.size));
        p.value = in.bytes(length, "property value");
    } else {
        p.value = in.bytes(p.size, "property value");
    }
    return p;
}

void readDescriptor(In &in, const FieldDef &f, int number)
{
    const QByteArray name = in.shortName("field descriptor");
    const quint16 size = in.num<quint16>("field descriptor");
    const quint16 type = in.num<quint16>("field descriptor");
    in.num<quint16>("field descriptor");
    const quint16 propCount = in.num<quint16>("field descriptor");
    const Descriptor d = descriptorOf(f);
    if (QString::fromLatin1(name) != f.name || size != d.size || type != d.type)
        in.fail(QStringLiteral("field %1 is \"%2\" (size %3, type %4) where the table has \"%5\"")
                    .arg(number)
                    .arg(QString::fromLatin1(name))
                    .arg(size)
                    .arg(type)
                    .arg(f.name));
    bool sawMoney = false;
    for (quint16 i = 0; i < propCount; ++i) {
        const Property p = readProperty(in);
        if (p.name == "WIDTH" && (f.type == FieldType::Text) && p.value.size() == 2) {
            quint16 width;
            std::memcpy(&width, p.value.constData(), 2);
            if (qFromLittleEndian(width) != f.width)
                in.fail(QStringLiteral("field \"%1\" has width %2 where the table has %3")
                            .arg(f.name)
                            .arg(qFromLittleEndian(width))
                            .arg(f.width));
        }
        if (p.name == "SUBTYPE" && p.value.startsWith("Money"))
            sawMoney = true;
    }
    if ((f.type == FieldType::Money) != sawMoney && d.type == TypeDouble)
        in.fail(QStringLiteral("field \"%1\" is not of the table's type").arg(f.name));
}

// Texts that repeat (kinds, categories, frequencies, the item of several
// reminders) are decoded once and shared by every row that has them. A
// field whose texts turn out to be mostly different stops looking them up.
class TextCache
{
public:
    QString text(In &in, qint64 count, const char *what, const char *bytes)
    {
        const std::string_view key(bytes, static_cast<size_t>(count));
        if (m_hasLast && key == m_lastKey) {
            in.skip(count, what);
            return m_last;
        }
        QString s;
        if (m_lookups < kTrial || m_hits * 4 >= m_lookups) {
            ++m_lookups;
            if (auto it = m_seen.find(key); it != m_seen.end()) {
                ++m_hits;
                s = it->second;
                in.skip(count, what);
            } else {
                s = in.text(count, what);
                if (m_seen.size() < kMaxEntries)
                    m_seen.emplace(key, s);
            }
        } else {
            s = in.text(count, what);
        }
        m_lastKey = key;
        m_last = s;
        m_hasLast = true;
        return s;
    }

private:
    static constexpr int kTrial = 256;
    static constexpr size_t kMaxEntries = 65536;
    std::unordered_map<std::string_view, QString> m_seen; // keys point into the packet
    std::string_view m_lastKey;
    QString m_last;
    bool m_hasLast = false;
    int m_lookups = 0;
    int m_hits = 0;
};

// Where read() puts each value: in its place in a row of QVariants.
struct RowList
{
    std::vector<Table::Row> rows;
    Table::Row row;
    void begin(quint32 rowCount, int fieldCount)
    {
        if (rows.empty())
            rows.reserve(rowCount);
        row.reserve(fieldCount);
    }
    void none(int) { row.emplaceBack(); }
    void text(int, QString &&s) { row.emplaceBack(std::move(s)); }
    void value(int, QVariant &&v) { row.emplaceBack(std::move(v)); }
    void number(int, double d) { row.emplaceBack(d); }
    void integer(int, qint32 i) { row.emplaceBack(i); }
    void dateTime(int, QDateTime &&dt) { row.emplaceBack(std::move(dt)); }
    void end()
    {
        rows.push_back(std::move(row));
        row = Table::Row();
    }
};

// Where readStored() puts each value: straight into a scratch table's store.
struct StoredCells
{
    TableStore &store;
    void begin(quint32 rowCount, int)
    {
        if (store.rowCount() == 0)
            store.reserve(rowCount);
        store.beginRow();
    }
    void none(int) { }
    void text(int f, QString &&s) { store.setText(f, s); }
    void value(int f, QVariant &&v) { store.setValue(f, v); }
    void number(int f, double d) { store.setNumber(f, d); }
    void integer(int f, qint32 i) { store.setInteger(f, i); }
    void dateTime(int f, QDateTime &&dt) { store.setValue(f, QVariant(std::move(dt))); }
    void end() { }
};

// Reads every row. With `stored`, values come in the form the table keeps
// (text cut to its width, money rounded); a value that would not convert
// (a number that is not finite) is left as read and `*allStored` set false,
// so the table's own conversion reports it. Each row's values go to `out`
// as they are read.
template <typename Out>
void readRows(In &in, const QList<FieldDef> &fields, quint32 rowCount, bool stored, bool *allStored,
              const QByteArray &data, Out &out)
{
    const int fieldCount = static_cast<int>(fields.size());
    std::vector<TextCache> caches(static_cast<size_t>(fieldCount));
    for (quint32 r = 0; r < rowCount; ++r) {
        out.begin(rowCount, fieldCount);
        for (int i = 0; i < fieldCount; ++i) {
            const FieldDef &f = fields.at(i);
            const quint8 present = in.num<quint8>("row");
            if (present == 0) {
                out.none(i);
                continue;
            }
            if (present != 1)
                in.fail(QStringLiteral("a row value of field \"%1\" is damaged").arg(f.name));
            switch (f.type) {
            case FieldType::Text:
            case FieldType::Memo: {
                const quint32 len = in.num<quint32>("text value");
                in.need(len, "text value");
                QString s = f.type == FieldType::Text
                    ? caches[static_cast<size_t>(i)].text(in, len, "text value", data.constData() + in.pos())
                    : in.text(len, "text value");
                if (stored && (s.isEmpty() || (f.type == FieldType::Text && f.width > 0 && s.size() > f.width)))
                    out.value(i, normaliseFieldValue(f, s));
                else
                    out.text(i, std::move(s));
                break;
            }
            case FieldType::Money:
            case FieldType::Real: {
                const quint64 bits = in.num<quint64>("number value");
                double d;
                std::memcpy(&d, &bits, sizeof d);
                if (stored) {
                    if (!std::isfinite(d))
                        *allStored = false;
                    else if (f.type == FieldType::Money)
                        d = roundMoney4(d);
                }
                out.number(i, d);
                break;
            }
            case FieldType::Integer: out.integer(i, in.num<qint32>("integer value")); break;
            case FieldType::DateTime: {
                const qint64 v = in.num<qint64>("date value");
                QDateTime dt = decodeDateTime(v);
                if (!dt.isValid())
                    in.fail(QStringLiteral("a date of field \"%1\" is out of range").arg(f.name));
                out.dateTime(i, std::move(dt));
                break;
            }
            }
        }
        out.end();
    }
}

} // namespace

QByteArray write(const Table &table)
{
    const QList<FieldDef> &fields = table.fields();
    Out o;
    o.bytes.append(reinterpret_cast<const char *>(kMagic), 4);
    o.num<quint32>(kVersion);
    o.num<quint32>(kHeaderSize);
    o.num<quint16>(static_cast<quint16>(fields.size()));
    o.num<quint32>(static_cast<quint32>(table.totalRowCount()));
    o.num<quint32>(kAttributes);
    o.num<quint16>(0); // metadata size, filled in below
    for (const FieldDef &f : fields)
        writeDescriptor(o, f);

    // Tables presented in an order that is not their key carry it along.
    const QList<int> &order = table.orderFieldIndexes();
    if (!order.isEmpty() && !table.hasUniqueKey()) {
        o.num<quint16>(1);
        o.shortName("DEFAULT_ORDER");
        o.num<quint16>(2);
        o.num<quint16>(TypeOrderArray);
        o.num<quint32>(static_cast<quint32>(order.size()));
        for (int f : order)
            o.num<quint16>(static_cast<quint16>(f + 1));
    } else {
        o.num<quint16>(0);
    }
    const quint16 metaSize = qToLittleEndian(static_cast<quint16>(o.bytes.size()));
    std::memcpy(o.bytes.data() + 22, &metaSize, 2);

    for (const Table::RowView row : table.allRows())
        for (int i = 0; i < fields.size(); ++i)
            writeValue(o, fields.at(i), row.at(i));
    return o.bytes;
}

namespace {

template <typename Out>
void readPacket(const QByteArray &data, const Table &table, const QString &fileName, bool stored, bool *allStored,
                Out &out)
{
    const QList<FieldDef> &fields = table.fields();
    In in(data, fileName);
    if (data.size() < static_cast<qsizetype>(kHeaderSize))
        in.fail(QStringLiteral("the file is too short for a plan file header"));
    if (std::memcmp(data.constData(), kMagic, 4) != 0)
        in.fail(QStringLiteral("the file does not start with the plan file signature"));
    in.skip(4, "header");
    const quint32 version = in.num<quint32>("header");
    const quint32 headerSize = in.num<quint32>("header");
    const quint16 fieldCount = in.num<quint16>("header");
    const quint32 rowCount = in.num<quint32>("header");
    in.num<quint32>("header"); // packet attributes
    const quint16 metaSize = in.num<quint16>("header");
    if (version != kVersion)
        in.fail(QStringLiteral("version %1 is not supported").arg(version));
    if (headerSize != kHeaderSize)
        in.fail(QStringLiteral("the header size is %1, not 24").arg(headerSize));
    if (fieldCount != fields.size())
        in.fail(QStringLiteral("it has %1 fields where the table %2 has %3")
                    .arg(fieldCount)
                    .arg(table.name())
                    .arg(fields.size()));

    for (int i = 0; i < fields.size(); ++i)
        readDescriptor(in, fields.at(i), i + 1);
    const quint16 tablePropCount = in.num<quint16>("table properties");
    for (quint16 i = 0; i < tablePropCount; ++i)
        readProperty(in);
    if (in.pos() != metaSize)
        in.fail(QStringLiteral("the header says the field descriptors end at byte %1, they end at byte %2")
                    .arg(metaSize)
                    .arg(in.pos()));

    // Every value takes at least its presence byte: a row count the remaining
    // bytes cannot hold is refused before anything is allocated for it.
    if (static_cast<qint64>(rowCount) * fields.size() > in.remaining())
        in.fail(QStringLiteral("it claims %1 rows, more than the file can hold").arg(rowCount));

    readRows(in, fields, rowCount, stored, allStored, data, out);
    if (in.remaining() != 0)
        in.fail(QStringLiteral("%1 bytes follow the last row").arg(in.remaining()));
}

} // namespace

std::vector<Table::Row> read(const QByteArray &data, const Table &table, const QString &fileName)
{
    bool allStored = true;
    RowList out;
    readPacket(data, table, fileName, false, &allStored, out);
    return std::move(out.rows);
}

StoredRows readStored(const QByteArray &data, const Table &table, const QString &fileName)
{
    StoredRows result;
    QStringList order;
    for (int f : table.orderFieldIndexes())
        order.append(table.fields().at(f).name);
    result.table =
        std::make_unique<Table>(table.name(), table.fields(), order, table.hasUniqueKey(), table.indexName());
    StoredCells out{result.table->scratchStore()};
    readPacket(data, table, fileName, true, &result.stored, out);
    return result;
}

} // namespace DataPacket
