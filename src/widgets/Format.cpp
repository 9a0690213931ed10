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

// Where the locale puts the symbol, as text before and after the number:
// "$" and "" in the United States, "" and " €" in Germany. A locale without a
// currency of its own (C, POSIX) writes as the United States do.
struct CurrencyPattern
{
    QString localeName;
    QString symbol;
    QString before;
    QString after;
};

const CurrencyPattern &currencyPattern()
{
    static CurrencyPattern cached;
    const QLocale current;
    const QString symbol = currencySymbol();
    if (cached.localeName == current.name() && cached.symbol == symbol)
        return cached;
    const QLocale locale = current.currencySymbol().isEmpty() ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                              : current;
    const QString sample = locale.toCurrencyString(1.0, symbol, 2);
    const QString number = locale.toString(1.0, 'f', 2);
    const qsizetype at = sample.indexOf(number);
    cached = {current.name(), symbol, symbol, QString()};
    if (at >= 0) {
        cached.before = sample.left(at);
        cached.after = sample.mid(at + number.size());
    }
    return cached;
}

QString currency(double value)
{
    const CurrencyPattern &pattern = currencyPattern();
    return (isNegative(value) ? QStringLiteral("-") : QString()) + pattern.before + groupedMagnitude(value)
           + pattern.after;
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
