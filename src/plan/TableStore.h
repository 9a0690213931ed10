#pragma once
#include "FieldDef.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

// The rows of one table, held compactly: a row is a cell and a tag byte a
// field, all rows in one flat array of bytes. A cell holds a double for money
// and reals, an int for integers, the wall-clock milliseconds of a date-time,
// a 4-byte index into the text pool for a text. Texts are held once in the
// pool and counted by the cells that use them; a value in any other form (a
// number in a text field, a date-time that would not read back the same from
// its milliseconds) is kept whole among the odd values.
//
// A value reads back exactly as it was put in: type, null and empty texts
// told apart. The store knows rows by place only: keeping them in order,
// checking keys and converting values to the fields' forms is the table's.
class TableStore
{
public:
    using Row = QList<QVariant>;

    explicit TableStore(const QList<FieldDef> &fields);
    // A copy shares the texts (each QString shared, not copied) and no
    // state of an append under way.
    TableStore(const TableStore &other);
    TableStore &operator=(const TableStore &) = delete;
    ~TableStore();

    int fieldCount() const { return static_cast<int>(m_types.size()); }
    size_t rowCount() const { return m_rowCount; }

    // --- reading -----------------------------------------------------------
    // The value of a cell; `row` and `field` must be in range.
    QVariant value(size_t row, int field) const;
    // The stored text of a text or memo cell without a copy: a null text for
    // a cell without a value; null when the field is of another type or the
    // cell holds an odd value.
    const QString *text(size_t row, int field) const;
    // A stored row back as values; throws std::out_of_range past the end.
    Row row(size_t row) const;
    // One field of the rows [first, first + count), for a pass down a whole
    // column without a value made for each cell. columnTexts: what text()
    // gives for each row. columnNumbers: the number of each money or real
    // cell, `held` false where the cell holds none in its compact form.
    void columnTexts(int field, size_t first, size_t count, const QString **texts) const;
    void columnNumbers(int field, size_t first, size_t count, double *numbers, bool *held) const;

    // --- appending rows already checked ------------------------------------
    // For a reader that has brought every value into the form its field
    // keeps: beginRow() puts a row of no values at the end, and the set calls
    // fill the fields of that last row (a field set again takes the new
    // value). setText, setNumber and setInteger take a value of the field's
    // own type (a text for a text or memo, a number for money or a real, an
    // integer); setValue any value. Texts that one QString holds for many
    // rows take one pool place. The set calls throw std::out_of_range before
    // any beginRow() or for a field the store does not have.
    void reserve(size_t rows);
    void beginRow();
    void setText(int field, const QString &text);
    void setNumber(int field, double value);
    void setInteger(int field, int value);
    void setValue(int field, const QVariant &value);
    // A whole row at the end; missing values are no values.
    void appendRow(const Row &values);

    // --- changes at places -----------------------------------------------
    // Each throws std::out_of_range, and changes nothing, for a place past
    // the end or places out of order.
    void insertRow(size_t at, const Row &values);
    // Puts `rows` so that row i ends at place at[i] (`at` ascending).
    void insertRows(const std::vector<quint32> &at, const std::vector<Row> &rows);
    void replaceRow(size_t at, const Row &values);
    // Removes the rows at the places `at` (ascending), the rows kept closing up.
    void eraseRows(const std::vector<quint32> &at);

    // --- all rows at once --------------------------------------------------
    // Replaces every row with `rows`, each emptied as it is taken.
    void assign(std::vector<Row> &rows);
    // Takes every row of `other`, a store of the same field types (else
    // std::invalid_argument and nothing changes); `other` is left empty.
    void take(TableStore &other);
    void clear();

private:
    // What a cell holds.
    enum CellTag : quint8 {
        NoValue = 0, // an invalid QVariant
        Compact = 1, // the field's own compact form
        OddValue = 2, // an index into the odd values
        NullText = 3, // a null QString
        EmptyText = 4, // an empty QString that is not null
    };
    struct TextCache;
    static constexpr size_t kPoolChunk = 1024;
    struct PoolChunk
    {
        QString texts[kPoolChunk];
        quint32 uses[kPoolChunk] = {}; // cells holding each text
    };
    static const QString &nullText();
    static const QString &emptyText();

    quint8 tagAt(size_t row, int field) const
    {
        return m_bytes[row * m_stride + m_tagBase + static_cast<size_t>(field)];
    }
    quint64 bitsAt(size_t row, int field) const
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
    void setCell(size_t row, int field, quint8 tag, quint64 bits);
    bool isText(int field) const
    {
        const FieldType type = m_types[static_cast<size_t>(field)];
        return type == FieldType::Text || type == FieldType::Memo;
    }
    QString &poolText(size_t i) const { return m_textChunks[i / kPoolChunk]->texts[i % kPoolChunk]; }
    quint32 &poolUses(size_t i) const { return m_textChunks[i / kPoolChunk]->uses[i % kPoolChunk]; }

    // Puts `value` into the cell, which holds nothing; `cache` (may be null)
    // finds texts already in the pool while many rows are stored.
    void storeCell(size_t row, int field, const QVariant &value, TextCache *cache);
    void releaseCell(size_t row, int field);
    void storeRow(size_t row, const Row &values, TextCache *cache);
    void releaseRow(size_t row);
    quint32 addText(const QString &text);
    quint32 textIndex(size_t row, int field, const QString &text, TextCache *cache);
    // The last row, for the set calls, its `field` emptied.
    size_t lastRowFor(int field);

    std::vector<FieldType> m_types;
    std::vector<quint8> m_bytes; // m_rowCount rows of m_stride bytes
    size_t m_stride = 0;
    size_t m_tagBase = 0; // where a row's tags begin
    std::vector<quint32> m_offsets; // where each field's cell begins
    std::vector<char> m_wide; // whether the cell has eight bytes
    size_t m_rowCount = 0;
    // The text pool, in chunks that stay where they are as it grows.
    std::vector<std::unique_ptr<PoolChunk>> m_textChunks;
    size_t m_textCount = 0;
    std::vector<quint32> m_freeTexts; // unused pool places
    std::unique_ptr<TextCache> m_appendCache; // while beginRow() and the set calls fill the store
    std::vector<QVariant> m_odd; // values in no compact form
    std::vector<quint32> m_freeOdd;
};

// Here rather than in the source: comparing rows on their texts reads
// through it at every step.
inline const QString *TableStore::text(size_t row, int field) const
{
    if (!isText(field))
        return nullptr;
    switch (tagAt(row, field)) {
    case Compact: return &poolText(static_cast<size_t>(bitsAt(row, field)));
    case NoValue:
    case NullText: return &nullText();
    case EmptyText: return &emptyText();
    default: return nullptr;
    }
}
