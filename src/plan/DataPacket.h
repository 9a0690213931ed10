#pragma once
#include "PlanFileError.h"
#include "Table.h"

#include <QByteArray>
#include <memory>
#include <vector>

class QIODevice;

// One table as one binary data packet (all numbers little-endian):
//
//   header (24 bytes): magic 96 19 E0 BD, version 1 (u32), header size 24 (u32),
//     field count (u16), row count (u32), packet attributes 3 (u32), size of
//     header + field descriptors + table properties (u16)
//   field descriptors: name (length byte + characters), size (u16), type (u16),
//     attributes 0 (u16), property count (u16), properties
//       text(n)   size 1, type 0x49, WIDTH (size 2, type 2, value n)
//       money     size 8, type 4,    SUBTYPE (size 2, type 0x49, u16 length 6, "Money\0")
//       integer   size 4, type 1
//       memo      size 4, type 0x4B, SUBTYPE "Text\0", WIDTH 600
//       date-time size 8, type 8      (our choice)
//       real      size 8, type 4      (our choice; money is told apart by its SUBTYPE)
//   table properties: count (u16), properties; the reminders carry
//     DEFAULT_ORDER (size 2, type 0x82, u32 count, u16 field numbers from 1)
//   rows, our own encoding: for every field of every row a presence byte
//     (0 null, 1 value) followed, when present, by the value:
//       text, memo  u32 byte length + UTF-8 bytes
//       money, real IEEE 754 double (8 bytes)
//       integer     i32
//       date-time   i64 milliseconds since the start of the Julian day 0
//                   (date and time of day as written, no time zone)
//
// A property is name (length byte + characters), size (u16), type (u16), value:
// for an array type (0x80 bit) a u32 count and count * size bytes; for the
// varying types 0x49 and 0x4B a length of `size` bytes and that many bytes;
// otherwise `size` bytes.
namespace DataPacket {

// The packet of the whole table (every row, whatever filter is in force).
QByteArray write(const Table &table);

// Rows read from a packet for `table`'s fields. Trusts nothing: a wrong magic,
// a truncated file, a count or length that runs past the end, descriptors that
// do not match the table or bytes after the last row raise FileFormatError
// with a message naming `fileName`.
std::vector<Table::Row> read(const QByteArray &data, const Table &table, const QString &fileName);

// read() with the values in the form `table` stores them, gathered in the
// store of a scratch table of the same layout (unordered, unchecked) for
// Table::setStoredRowsFrom; `stored` is false when some value still needs the
// table's conversion (which then reports it), for Table::setAllRows.
struct StoredRows
{
    std::unique_ptr<Table> table;
    bool stored = true;
};
StoredRows readStored(const QByteArray &data, const Table &table, const QString &fileName);

} // namespace DataPacket
