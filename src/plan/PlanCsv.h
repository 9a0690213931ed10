#pragma once
#include "plan/Csv.h"
#include "plan/FieldDef.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

class Plan;
class Table;

// The plan tables as CSV files: one file per table, a header row of the
// table's field names in table order, then one record per row.
//
// Values: text and memo as they are (an empty text in quotes, so it stays
// apart from a missing value, which is an empty cell); money and reals with a
// decimal point in the shortest form that reads back as the same double;
// integers in decimal; date-times as yyyy-MM-dd, or yyyy-MM-ddTHH:mm:ss.zzz
// when the time of day is not midnight.
namespace PlanCsv {

struct TableFile
{
    QString csvName; // "items.csv"
    Table &(*table)(Plan &plan);
};

// items.csv, categories.csv, savings.csv, loans.csv, reminders.csv.
const QList<TableFile> &tableFiles();

// Writes the five CSV files of the plan into `folder` (made when missing),
// every row whatever filter is in force. The five replace any earlier ones
// together or not at all; throws FileWriteError with the system's reason.
void writeFolder(Plan &plan, const QString &folder);

// The header and every row of the table, whatever filter is in force.
QString tableText(const Table &table);

Csv::Cell cellFor(const FieldDef &field, const QVariant &value);

// Reads a cell as a value of the field's type. Returns an empty string and
// sets `value` (null for a missing value), or returns what is wrong.
QString valueFor(const FieldDef &field, const Csv::Cell &cell, QVariant &value);

QString dateTimeText(const QDateTime &dateTime);
// yyyy-MM-dd, yyyy-MM-ddTHH:mm, yyyy-MM-ddTHH:mm:ss or yyyy-MM-ddTHH:mm:ss.zzz
// (one to three fraction digits); an invalid QDateTime for anything else.
QDateTime dateTimeFromText(const QString &text);

// Characters (code points) in the text, the measure of a text field's width.
qsizetype characterCount(const QString &text);

} // namespace PlanCsv
