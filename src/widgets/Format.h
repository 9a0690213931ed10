#pragma once
#include <QDate>
#include <QString>

// Money and date texts of the windows, in one place. Table amounts use the
// system currency format ("$1,234.50", "1.234,50 €"); the plan totals use the
// "0.00" pattern of MoneyFormat. Dates use the program-wide short date format,
// "dd/MM/yyyy" while the main window is open.
namespace Format {

// The currency symbol of the default locale ("$" where it has none).
QString currencySymbol();

// The system currency format with two decimals (halves away from zero) and
// grouped thousands, the symbol where the locale puts it ("$1,234.50",
// "1.234,50 €"); a negative amount has "-" in front ("-$1,234.50").
QString currency(double value);
// ",0.00" without a symbol: "1,234.50", "-1,234.50".
QString grouped(double value);

// The short date format in force and its use.
QString shortDateFormat();
void setShortDateFormat(const QString &format);
QString date(const QDate &date);
QDate parseDate(const QString &text);

// "0.00" with the locale's decimal separator, halves away from zero.
QString fixed2(double value);

} // namespace Format
