#include "Frequency.h"

#include <cmath>

namespace Frequency {

namespace {
struct Entry
{
    const char *name;
    double days;
};
constexpr Entry kEntries[] = {
    {"Daily", 1.0},       {"Weekly", 7.0},        {"Fortnightly", 14.0},
    {"Monthly", 30.4375}, {"Quarterly", 91.3125}, {"Yearly", 365.25},
};

// Nearest integer, halves to the even neighbour (the default rounding mode).
double roundHalfEven(double v)
{
    return std::nearbyint(v);
}
} // namespace

int count()
{
    return static_cast<int>(std::size(kEntries));
}

QStringList names()
{
    QStringList list;
    for (const Entry &e : kEntries)
        list << QLatin1String(e.name);
    return list;
}

QStringList savingsNames()
{
    return names().mid(0, 4);
}

QString name(int index)
{
    return index >= 0 && index < count() ? QLatin1String(kEntries[index].name) : QString();
}

int indexOf(const QString &name)
{
    for (int i = 0; i < count(); ++i)
        if (name == QLatin1String(kEntries[i].name))
            return i;
    return -1;
}

double dayCount(const QString &name)
{
    const int i = indexOf(name);
    return i < 0 ? 0.0 : kEntries[i].days;
}

int periodDays(const QString &name)
{
    return static_cast<int>(std::lround(dayCount(name)));
}

double convert(double amount, const QString &from, const QString &to)
{
    const double fromDays = dayCount(from);
    const double toDays = dayCount(to);
    if (fromDays == 0.0 || toDays == 0.0 || !std::isfinite(amount))
        return 0.0;
    const double tenThousandths = roundHalfEven(amount * 10000.0);
    const double perDay = roundHalfEven(tenThousandths / fromDays);
    return roundHalfEven(perDay * toDays) / 10000.0;
}

} // namespace Frequency
