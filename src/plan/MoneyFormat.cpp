#include "MoneyFormat.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace MoneyFormat {

QString currencySymbol()
{
    const QString symbol = QLocale().currencySymbol(QLocale::CurrencySymbol);
    return symbol.isEmpty() ? QStringLiteral("$") : symbol;
}

namespace {

// Digits of |value| rounded half away from zero to `decimals` places, without
// separator: returns the integer part and the fraction part.
void roundedDigits(double value, int decimals, QString &intPart, QString &fracPart)
{
    intPart = QStringLiteral("0");
    fracPart = QString(decimals, QLatin1Char('0'));
    if (!std::isfinite(value) || value == 0.0)
        return;

    char buf[40];
    const auto written = std::to_chars(buf, buf + sizeof buf - 1, std::fabs(value), std::chars_format::scientific, 14);
    *written.ptr = '\0';
    // buf: d.dddddddddddddde[+-]XX
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    int exponent = std::atoi(buf + 17);
    int pointPos = exponent + 1; // digits before the decimal point

    int keep = pointPos + decimals;
    if (keep < 0)
        return;
    if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }
    // Place the decimal point, padding with zeros on either side.
    if (pointPos <= 0) {
        digits.insert(0, static_cast<size_t>(-pointPos), '0');
        pointPos = 0;
    }
    while (static_cast<int>(digits.size()) < pointPos + decimals)
        digits.push_back('0');
    std::string ip = digits.substr(0, static_cast<size_t>(pointPos));
    std::string fp = digits.substr(static_cast<size_t>(pointPos), static_cast<size_t>(decimals));
    size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? "0" : ip.substr(nz);
    intPart = QString::fromLatin1(ip.c_str());
    fracPart = QString::fromLatin1(fp.c_str());
}

bool allZero(const QString &s)
{
    for (QChar c : s)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

} // namespace

QString fixed(double value, int decimals)
{
    QString ip, fp;
    roundedDigits(value, decimals, ip, fp);
    const bool negative = value < 0 && std::isfinite(value) && !(allZero(ip) && allZero(fp));
    QString out = negative ? QStringLiteral("-") : QString();
    out += ip;
    if (decimals > 0)
        out += QLocale().decimalPoint() + fp;
    return out;
}

double roundHalfAwayFromZero(double value, int decimals)
{
    QString ip, fp;
    roundedDigits(value, decimals, ip, fp);
    const double magnitude = (ip + QLatin1Char('.') + fp).toDouble();
    return value < 0 ? -magnitude : magnitude;
}

QString moneyText(double value, const QString &symbol)
{
    const QString number = fixed(value, 2);
    if (number.startsWith(QLatin1Char('-')))
        return QStringLiteral("-") + symbol + number.mid(1);
    return symbol + number;
}

QString moneyText(double value)
{
    return moneyText(value, currencySymbol());
}

namespace {

QString groupedMagnitude(double value)
{
    const QString plain = fixed(std::fabs(value), 2);
    const QLocale locale;
    const QString point = locale.decimalPoint();
    const qsizetype dot = plain.indexOf(point);
    QString whole = dot < 0 ? plain : plain.left(dot);
    const QString fraction = dot < 0 ? QString() : plain.mid(dot);
    const QString group = locale.groupSeparator();
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, group);
    return whole + fraction;
}

// The texts the default locale puts before and after the number of a money
// amount: "$" and "" in the United States, "" and " €" in Germany. Worked out
// once per locale and symbol: every grid cell of money asks.
void currencyAffixes(QString &before, QString &after)
{
    struct Cached
    {
        QString localeName, symbol, before, after;
        bool valid = false;
    };
    static Cached cached;
    const QLocale current;
    const QString symbol = currencySymbol();
    if (!cached.valid || cached.localeName != current.name() || cached.symbol != symbol) {
        const QLocale locale =
            current.currencySymbol().isEmpty() ? QLocale(QLocale::English, QLocale::UnitedStates) : current;
        const QString sample = locale.toCurrencyString(1.0, symbol, 2);
        const QString number = locale.toString(1.0, 'f', 2);
        const qsizetype at = sample.indexOf(number);
        cached = {current.name(), symbol, symbol, QString(), true};
        if (at >= 0) {
            cached.before = sample.left(at);
            cached.after = sample.mid(at + number.size());
        }
    }
    before = cached.before;
    after = cached.after;
}

} // namespace

QString grouped(double value)
{
    const bool negative = value < 0 && fixed(std::fabs(value), 2) != fixed(0.0, 2);
    return (negative ? QStringLiteral("-") : QString()) + groupedMagnitude(value);
}

QString currency(double value)
{
    QString before, after;
    currencyAffixes(before, after);
    const bool negative = value < 0 && fixed(std::fabs(value), 2) != fixed(0.0, 2);
    return (negative ? QStringLiteral("-") : QString()) + before + groupedMagnitude(value) + after;
}

} // namespace MoneyFormat
