#pragma once
#include "loancalc/LoanCalculation.h"

#include <QString>
#include <array>

// One scenario page of the loan calculator without its widgets: the inputs as
// the page's fields yield them and the three calculations, run the way the
// page's Calculate buttons run them (input checks, then the arithmetic, then
// the "too low" refusal). The window copies its fields in and the results out;
// the command-line tool uses it as it is.
class LoanPage
{
public:
    enum class Outcome {
        Done, // the calculation ran and gave at least one payment
        NoPrincipal, // "Please enter the amount you wish to borrow"; focus the amount
        NoLength, // "Please enter the length of the loan"; focus the length
        NoRate, // "Please enter the interest rate"; focus the rate
        NoPayment, // "Please enter a monthly payment amount"; focus the payment
        TooLow, // fields written with 0 payments; focus the payment
        TooLong, // a length beyond kMaxLoanYears; focus the length
        TooSmall, // a payment that would take more than kMaxPayments; focus the payment
        OnePayment, // a payment above the whole loan; focus the payment
    };

    double principal = 0.0; // amount borrowed, two decimals
    int years = 0; // length, whole years
    double rate = 0.0; // annual percentage, two decimals
    double currentBalance = 0.0; // the plan's monthly balance, two decimals
    // Calculation k is calculations[k - 1]. The payment of calculations 2 and 3
    // is their input: the chosen monthly payment.
    std::array<LoanCalculation, 3> calculations;

    // Runs calculation k (1, 2 or 3). Calculations 2 and 3 first run
    // calculation 1 when its payment is still 0, and stop with its outcome
    // when it refuses its inputs.
    Outcome calculate(int k);

    // Why calculation k (2 or 3) gave no payments: the payment is too low to
    // repay the loan, or more than the whole loan with a month's interest.
    Outcome noPayments(int k) const;

    // The message box text for an outcome other than Done.
    QString message(Outcome outcome) const;

    // A money field's value as read back: the number rounded to two decimals,
    // 0 for empty or unreadable text.
    static double readMoney(const QString &text);

private:
    Outcome calculateLevelPayment();
};
