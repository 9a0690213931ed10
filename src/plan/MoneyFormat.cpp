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

} // namespace MoneyFormat
