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

QString currency(double value)
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
    const bool negative = value < 0 && plain != MoneyFormat::fixed(0.0, 2);
    return (negative ? QStringLiteral("-") : QString()) + currencySymbol() + whole + fraction;
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
