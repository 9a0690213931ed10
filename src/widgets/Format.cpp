#include "Format.h"
#include "plan/MoneyFormat.h"

#include <QLocale>
#include <cmath>

namespace Format {

namespace {
QString g_shortDateFormat = QStringLiteral("dd/MM/yyyy");
}

QString currencySymbol()
{
    return MoneyFormat::currencySymbol();
}

namespace {
QString groupedMagnitude(double value)
{
    const QString plain = MoneyFormat::fixed(std::fabs(value), 2);
    const QLocale locale;
    const QString point = locale.decimalPoint();
    const int dot = plain.indexOf(point);
    QString whole = dot < 0 ? plain : plain.left(dot);
    const QString fraction = dot < 0 ? QString() : plain.mid(dot);
    const QString group = locale.groupSeparator();
    for (int i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, group);
    return whole + fraction;
}

bool isNegative(double value)
{
    return value < 0 && MoneyFormat::fixed(std::fabs(value), 2) != MoneyFormat::fixed(0.0, 2);
}
} // namespace

QString currency(double value)
{
    return (isNegative(value) ? QStringLiteral("-") : QString()) + currencySymbol() + groupedMagnitude(value);
}

QString grouped(double value)
{
    return (isNegative(value) ? QStringLiteral("-") : QString()) + groupedMagnitude(value);
}

QString shortDateFormat() { return g_shortDateFormat; }
void setShortDateFormat(const QString &format) { g_shortDateFormat = format; }

QString date(const QDate &d)
{
    return d.isValid() ? d.toString(g_shortDateFormat) : QString();
}

QDate parseDate(const QString &text)
{
    return QDate::fromString(text.trimmed(), g_shortDateFormat);
}

QString fixed2(double value)
{
    return MoneyFormat::fixed(value, 2);
}

} // namespace Format
