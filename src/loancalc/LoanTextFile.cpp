#include "loancalc/LoanTextFile.h"

#include "loancalc/LoanPage.h"
#include "plan/Clock.h"
#include "plan/FileWriter.h"
#include "plan/MoneyFormat.h"

#include <QLocale>

namespace {

const QString lineEnd = QStringLiteral("\r\n");

void appendLine(QString &out, const QString &line)
{
    out += line;
    out += lineEnd;
}

void appendBlank(QString &out)
{
    appendLine(out, QStringLiteral(" "));
}

void appendCell(QString &line, const QString &cell, qsizetype fillMark)
{
    line += cell;
    if (line.size() < fillMark)
        line += QString(fillMark - line.size(), QLatin1Char(' '));
}

void appendCalculation(QString &out, int k, const LoanCalculation &calc, const QString &symbol)
{
    appendLine(out, QStringLiteral("SCENARIO : %1").arg(k));
    appendLine(out, QStringLiteral("Monthly Payment : ") + MoneyFormat::moneyText(calc.payment, symbol));
    appendLine(out, QStringLiteral("Number of Payments : ") + QString::number(calc.numberOfPayments));
    appendLine(out, QStringLiteral("Total Interest Paid : ") + MoneyFormat::moneyText(calc.totalInterest, symbol));
    appendLine(out, QStringLiteral("Total Paid Back : ") + MoneyFormat::moneyText(calc.totalPaid, symbol));
    appendBlank(out);
    appendLine(out, QStringLiteral("Payment No :  Interest Paid :  Principal Paid :   Outstanding Balance :"));
    for (const ScheduleRow &row : calc.schedule)
        appendLine(out, LoanTextFile::scheduleLine(row));
    appendBlank(out);
}

} // namespace

QString LoanTextFile::dateLine(const QDate &today)
{
    return QLocale().toString(today, QStringLiteral("dddd, MMMM d, yyyy")) + QLatin1Char('.');
}

QString LoanTextFile::scheduleLine(const ScheduleRow &row)
{
    QString line;
    line.reserve(80);
    appendCell(line, row.payment, 15);
    appendCell(line, row.interest, 32);
    appendCell(line, row.principal, 51);
    appendCell(line, row.balance, 72);
    return line;
}

QString LoanTextFile::text(const LoanPage &page, const QDate &today)
{
    const QString symbol = MoneyFormat::currencySymbol();
    qsizetype rows = 0;
    for (const LoanCalculation &calc : page.calculations)
        rows += calc.schedule.size();

    QString out;
    out.reserve(600 + rows * 74);
    appendLine(out, QStringLiteral("Kavo Loan Calculator Report."));
    appendBlank(out);
    appendLine(out, dateLine(today));
    appendBlank(out);
    appendLine(out, QStringLiteral("Principal : ") + MoneyFormat::moneyText(page.principal, symbol) + QLatin1Char('.'));
    appendBlank(out);
    appendLine(out, QStringLiteral("Length of loan : %1 years.").arg(page.years));
    appendBlank(out);
    appendLine(out, QStringLiteral("Interest Rate : ") + MoneyFormat::fixed(page.rate, 2) + QStringLiteral("%."));
    appendBlank(out);
    appendBlank(out);
    for (int k = 0; k < 3; ++k)
        appendCalculation(out, k + 1, page.calculations[static_cast<size_t>(k)], symbol);
    return out;
}

QByteArray LoanTextFile::bytes(const LoanPage &page, const QDate &today)
{
    return text(page, today).toUtf8();
}

bool LoanTextFile::write(const QString &path, const LoanPage &page, QString *error)
{
    try {
        FileWriter::writeFile(path, bytes(page, Clock::today()));
    } catch (const FileWriteError &e) {
        if (error)
            *error = QStringLiteral("Cannot write the loan calculations to \"%1\": %2").arg(path, e.reason());
        return false;
    }
    return true;
}
