#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// One row of a schedule grid below its header: payment number, interest paid so
// far, principal repaid so far and the balance outstanding after that payment,
// as the grid's text cells show them. A default row has four empty cells.
struct ScheduleRow
{
    QString payment;
    QString interest;
    QString principal;
    QString balance;

    bool operator==(const ScheduleRow &) const = default;
};

// What the six result controls of one calculation show: the payment, the number
// of payments, the two totals, the budget balance and the schedule grid's rows
// 1 to last. Money values are held as a money field yields them when read back,
// rounded to two decimals. A default object is an untouched calculation: zero
// amounts, 0 payments and one empty grid row.
struct LoanCalculation
{
    double payment = 0.0;
    qint64 numberOfPayments = 0;
    double totalInterest = 0.0;
    double totalPaid = 0.0;
    double budgetBalance = 0.0;
    QList<ScheduleRow> schedule{ScheduleRow{}};
};
