#pragma once
#include <QDateTime>
#include <QString>
#include <optional>

class Plan;

// Savings-goal arithmetic. Day differences are whole calendar days between the
// two date-times as written (no daylight-saving shifts), fractions dropped.
namespace Savings {

// |b - a| in whole days, fractions dropped.
qint64 wholeDaysBetween(const QDateTime &a, const QDateTime &b);

// Periods of `frequency` between start and finish (integer division of the
// days by the whole-day period length); 0 for an unknown frequency.
qint64 periods(const QString &frequency, const QDateTime &start, const QDateTime &finish);

// The instalment per period, unrounded; nothing when there is less than one
// period between start and finish.
std::optional<double> instalment(const QString &frequency, const QDateTime &start, const QDateTime &finish,
                                 double target);

// What is still to be saved at `now`: target - periods elapsed * instalment.
// Not limited: a goal saved for longer than planned goes negative.
double balance(const QString &frequency, const QDateTime &start, double instalment, double target,
               const QDateTime &now);

} // namespace Savings
