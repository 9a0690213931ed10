#include "Savings.h"
#include "CalendarTime.h"
#include "Frequency.h"
#include "Plan.h"

#include <cstdlib>

namespace Savings {

namespace {
constexpr qint64 kMsecsPerDay = 86400000;
}

qint64 wholeDaysBetween(const QDateTime &a, const QDateTime &b)
{
    if (!a.isValid() || !b.isValid())
        return 0;
    return std::llabs(CalendarTime::readingMsecs(b) - CalendarTime::readingMsecs(a)) / kMsecsPerDay;
}

qint64 periods(const QString &frequency, const QDateTime &start, const QDateTime &finish)
{
    const int length = Frequency::periodDays(frequency);
    if (length <= 0)
        return 0;
    return wholeDaysBetween(start, finish) / length;
}

std::optional<double> instalment(const QString &frequency, const QDateTime &start, const QDateTime &finish,
                                 double target)
{
    const qint64 n = periods(frequency, start, finish);
    if (n < 1)
        return std::nullopt;
    return target / static_cast<double>(n);
}

double balance(const QString &frequency, const QDateTime &start, double instalment, double target, const QDateTime &now)
{
    const int length = Frequency::periodDays(frequency);
    if (length <= 0 || !start.isValid())
        return 0;
    const qint64 elapsed = wholeDaysBetween(now, start) / length;
    return target - static_cast<double>(elapsed) * instalment;
}

} // namespace Savings
