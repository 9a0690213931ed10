#pragma once
#include <QDate>
#include <QDateTime>
#include <QTime>

// The date-times of a plan (savings and loan dates) are calendar dates with a
// time of day, as a person writes them: 8 September 2024 at midnight is that,
// in every time zone, including one whose clocks jump from 00:00 to 01:00 on
// that very day. They are held as wall-clock values (a QDateTime in UTC that
// stands for the local reading, never converted), compared and counted as
// such, so no local midnight is ever built and no day has 23 or 25 hours.
namespace CalendarTime {

// The wall-clock value of a date and time of day (midnight by default).
QDateTime at(const QDate &date, const QTime &time = QTime(0, 0));

// The wall-clock value with the date and time `dt` shows, whatever its zone;
// an invalid date-time whose date and time are still readable (a local time
// that does not exist) keeps them. Null when there is no date.
QDateTime fromReading(const QDateTime &dt);

// Milliseconds of the wall-clock reading since the start of the Julian
// calendar: differences are whole days of 86,400,000 ms. A date-time without
// a date comes before every other.
qint64 readingMsecs(const QDateTime &dt);

// Whether reading `a` comes after reading `b` (each as its own clock shows it).
bool isAfter(const QDateTime &a, const QDateTime &b);

} // namespace CalendarTime
