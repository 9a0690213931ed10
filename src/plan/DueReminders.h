#pragma once
#include <QDate>
#include <QList>
#include <QString>

class Plan;

// The reminders of a plan that fall due within a span of days. A reminder
// comes round every year on its day of its month; a day past the end of its
// month (the 31st of April, the 29th of February in a common year) falls on
// the month's last day.
namespace DueReminders {

struct Due
{
    QDate date;
    QString kind; // "I" or "E"
    QString cat;
    QString item;
    QString desc;
};

// Every reminder falling due from `today` to `today` + `days` inclusive,
// across a year end, by date and then as the reminders are kept (category,
// item); whatever filter or link the reminders table has in force.
QList<Due> within(const Plan &plan, const QDate &today, int days = 7);

// The day a reminder of `month` and `dom` falls due in `year`; an invalid date
// when the month is not 1 to 12 or the day not 1 to 31.
QDate dueDate(int year, int month, int dom);

} // namespace DueReminders
