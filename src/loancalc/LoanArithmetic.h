#pragma once
#include "loancalc/LoanCalculation.h"

// Monthly loan arithmetic of the loan calculator: twelve payments a year, one
// compounding period per payment. Amounts are carried as doubles and are never
// rounded inside the arithmetic; only the results placed in a calculation's
// fields are rounded to two decimals, as a money field holds them.

// The longest loan the calculator works out, and so the most payments a
// schedule holds: far beyond any loan, well within what a schedule can keep.
constexpr int kMaxLoanYears = 1000;
constexpr qint64 kMaxPayments = 12 * qint64(kMaxLoanYears);

enum class LoanCalcMode {
    LevelPayment, // calculation 1: the payment is computed from the length
    ChosenPayment, // calculations 2 and 3: the count is computed from the payment
};

// The monthly rate for an annual percentage: rate / 12 / 100.
double monthlyRate(double rate);

// The level monthly payment that repays `principal` in 12 × `years` payments.
// A zero rate gives principal / payments (the limit of the formula, which
// would otherwise be 0 / 0); a result that is not a finite number (a rate of
// -1200 % or below) gives 0.
double levelPayment(double principal, int years, double rate);

// The whole number of payments for a fractional count: a half goes to the even
// neighbour, anything below 0.5 (negative counts included) gives 0, and so
// does a count that is not finite or beyond the range of a payment count.
qint64 roundedPaymentCount(double x);

// The number of payments of `payment` a month that repay `principal` at the
// annual percentage `rate`, with `periods` (always 12) payments a year. Gives 0
// when the payment does not exceed the first period's interest (it could never
// repay the loan), for a zero rate and when less than half a payment is needed.
qint64 calcterm(int periods, double rate, double payment, double principal);

// Runs one calculation and writes its results into `fields`. The schedule rows
// are replaced only when there is at least one payment; otherwise the grid
// keeps the rows of its previous run. `currentBalance` is the plan's monthly
// balance as read from its money field. Inputs are not validated here, but a
// calculation of more than kMaxPayments payments is not made: false then, and
// `fields` are left as they were.
bool calc_loan_details(LoanCalcMode mode, int years, double principal, double rate, double chosenPayment,
                       double currentBalance, LoanCalculation &fields);
