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

// The system currency format with two decimals (halves away from zero) and
// grouped thousands, the symbol where the default locale puts it
// ("$1,234.50", "1.234,50 €"); a negative amount has "-" in front
// ("-$1,234.50"). A locale without a currency of its own (C, POSIX) writes as
// the United States do. The table amounts of windows and reports.
QString currency(double value);
// The same number without the symbol: "1,234.50", "-1,234.50".
QString grouped(double value);

} // namespace MoneyFormat
