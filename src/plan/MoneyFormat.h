#pragma once
#include <QString>

// The one place where numbers become the money texts of the plan totals and the
// loan calculator: the currency symbol followed by the number in the pattern
// "0.00" (halves away from zero, no thousands separator, the locale's decimal
// separator), a negative amount with a leading "-" before the symbol.
namespace MoneyFormat {

// The default locale's currency symbol; "$" where the locale has none (C, POSIX).
QString currencySymbol();

// The number with exactly `decimals` decimals, halves rounded away from zero.
// The decision is taken on the number's 15-significant-digit decimal form, so
// 1.005 gives "1.01" as a person would expect. Infinite or NaN values give 0.
QString fixed(double value, int decimals = 2);

// fixed() read back as a number ("format with 0.00 and read the text back").
double roundHalfAwayFromZero(double value, int decimals = 2);

// symbol + "0.00", e.g. "$1234.50", "-$5.00", "$0.00".
QString moneyText(double value);
QString moneyText(double value, const QString &symbol);

} // namespace MoneyFormat
