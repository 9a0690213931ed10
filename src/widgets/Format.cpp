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
    return MoneyFormat::currency(value);
}

QString grouped(double value)
{
    return MoneyFormat::grouped(value);
}

QString shortDateFormat()
{
    return g_shortDateFormat;
}
void setShortDateFormat(const QString &format)
{
    g_shortDateFormat = format;
}

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
