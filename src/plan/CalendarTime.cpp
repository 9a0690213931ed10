#include "CalendarTime.h"

#include <QTimeZone>

#include <limits>

namespace CalendarTime {

namespace {
constexpr qint64 kMsecsPerDay = 86400000;
}

QDateTime at(const QDate &date, const QTime &time)
{
    if (!date.isValid())
        return QDateTime();
    return QDateTime(date, time.isValid() ? time : QTime(0, 0), QTimeZone::utc());
}

QDateTime fromReading(const QDateTime &dt)
{
    if (!dt.date().isValid())
        return QDateTime();
    if (dt.timeSpec() == Qt::UTC && dt.isValid())
        return dt;
    return at(dt.date(), dt.time());
}

qint64 readingMsecs(const QDateTime &dt)
{
    if (!dt.date().isValid())
        return std::numeric_limits<qint64>::min(); // no date comes before every date
    const QTime time = dt.time().isValid() ? dt.time() : QTime(0, 0);
    return dt.date().toJulianDay() * kMsecsPerDay + time.msecsSinceStartOfDay();
}

bool isAfter(const QDateTime &a, const QDateTime &b)
{
    return readingMsecs(a) > readingMsecs(b);
}

} // namespace CalendarTime
