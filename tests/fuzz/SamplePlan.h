#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

class Plan;
class Table;

// A small plan whose tables hold every kind of value their fields can take:
// empty, non-ASCII and full-width text, long memos, nulls, extreme integers,
// dates with milliseconds, money with four decimals and awkward reals, each
// where a plan may hold it (frequencies, kind letters, days and months are
// always there and good, or the plan does not open). The damaged-file tests
// start from its files.
void fillSamplePlan(Plan &plan);

// The five tables in the order the fuzz input's first byte selects them.
QStringList fuzzTableNames();
Table &planTable(Plan &plan, const QString &tableName);
