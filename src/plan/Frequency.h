#pragma once
#include <QString>
#include <QStringList>

// The six frequencies, in the order every list of the program offers them
// (index 0..5), with their day counts: 1, 7, 14, 30.4375 (365.25 / 12),
// 91.3125 (365.25 / 4) and 365.25. Names match exactly and case-sensitively.
namespace Frequency {

int count();
QStringList names(); // "Daily" ... "Yearly"
QStringList savingsNames(); // the first four
QString name(int index); // empty outside 0..5
int indexOf(const QString &name); // -1 for an unknown name

// 0 for a name that is not one of the six: such an amount converts to 0 and
// adds nothing to any total.
double dayCount(const QString &name);

// The day count rounded to whole days (1, 7, 14, 30, 91, 365); 0 for an
// unknown name.
int periodDays(const QString &name);

// One amount converted between frequencies in ten-thousandths with banker's
// rounding: per day = round(amount*10000 / days(from)); result =
// round(per day * days(to)) / 10000. 100 "Weekly" as "Monthly" is 434.821.
double convert(double amount, const QString &from, const QString &to);

} // namespace Frequency
