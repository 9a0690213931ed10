#pragma once
#include "FieldDef.h"

#include <QString>
#include <QVariant>

class Table;

// What a value of a plan's field may be beyond its type: the rules that the
// CSV import and the plan-file reader both hold a plan to, so that nothing
// either lets in is a value the windows cannot show or the totals cannot add.
//
//   freq (items), payfreq (loans)   Daily, Weekly, Fortnightly, Monthly,
//                                   Quarterly or Yearly, exactly so written
//   freq (savings)                  Daily, Weekly, Fortnightly or Monthly
//   catid, cat_id                   I or E
//   dom, month (reminders)          1 to 31, 1 to 12
//   every money field               less than 1e12 either side of zero (the
//                                   editors hold 12 digits before the point),
//                                   or none
//
// A value missing where one is needed is a problem of its own ("the
// frequency is missing; ..."). A loan's length and interest rate, and the
// dates, take any value of their type: the loans page shows them as stored
// and no arithmetic of the plan uses them.
namespace PlanValues {

// Amounts of money the editors can hold are smaller than this.
constexpr double kMoneyLimit = 1e12;

// What is wrong with `value` for `field` of the table named `tableName`
// ("cds_budget", ...), in words for a person; empty when nothing is.
QString problem(const QString &tableName, const FieldDef &field, const QVariant &value);

struct RowProblem
{
    int row = -1; // from 0, in the table's stored order
    int field = -1; // index into the table's fields
    QString text;
    bool found() const { return row >= 0; }
};

// The first value of `table`'s rows that problem() refuses, row by row and
// field by field; none found when every value is good. Texts that many rows
// share are checked once. A number that is not finite is passed over: the
// table refuses it when the row is stored ("'nan' is not a valid number
// value for field 'amount'").
RowProblem firstProblem(const Table &table);

} // namespace PlanValues
