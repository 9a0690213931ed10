#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

// Comma-separated values after RFC 4180, UTF-8.
//
// Writing: records end with CR LF; a cell is enclosed in double quotes when it
// holds a comma, a quote, a CR or an LF (quotes inside doubled), or when the
// caller asks for it, which is how an empty text is told apart from a missing
// value (an empty unquoted cell).
//
// Reading: CR LF, LF or CR end a record; line breaks inside quotes belong to
// the cell exactly as written. A UTF-8 byte-order mark at the start is
// skipped, a record that is an empty line is skipped. A quote inside an
// unquoted cell, anything but a comma or the line end after a closing quote,
// a quote left open at the end of the file and bytes that are not UTF-8 are
// errors that name the line.
namespace Csv {

struct Cell
{
    QString text;
    bool quoted = false; // enclosed in quotes in the file
};

struct Record
{
    int line = 0; // the line the record starts on, from 1
    QList<Cell> cells;
};

struct ParseError
{
    int line = 0;
    QString message;
};

// All records of `data`, or false with the first error.
bool parse(const QByteArray &data, std::vector<Record> &records, ParseError &error);

// One record as text with its CR LF.
QString formatRecord(const QList<Cell> &cells);

} // namespace Csv
