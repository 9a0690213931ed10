#include "loancalc/LoanArithmetic.h"

#include "plan/MoneyFormat.h"

#include <cmath>

double monthlyRate(double rate)
{
    return rate / 12 / 100;
}

double levelPayment(double principal, int years, double rate)
{
    const double n = 12.0 * years;
    const double i = monthlyRate(rate);
    if (i == 0.0)
        return n == 0.0 ? 0.0 : principal / n;
    const double h = std::exp(-n * std::log(1 + i));
    const double payment = (principal * i) / (1 - h);
    return std::isfinite(payment) ? payment : 0.0;
}

qint64 roundedPaymentCount(double x)
{
    // 2^53: above it every double is whole and an int64 still holds it.
    constexpr double largest = 9007199254740992.0;
    if (!(x >= 0.5) || x > largest)
        return 0;
    const double whole = std::floor(x);
    const double fraction = x - whole;
    qint64 n = static_cast<qint64>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && n % 2 != 0))
        ++n;
    return n;
}

qint64 calcterm(int periods, double rate, double payment, double principal)
{
    const double s = principal * rate / 100 / payment / periods;
    // s = 1: the payment only covers the interest and the debt never shrinks.
    if (!(s < 1))
        return 0;
    const double x = -std::log(1 - s) / std::log(rate / 100 / periods + 1);
    return roundedPaymentCount(x);
}

namespace {

// Writes the schedule of n payments into `rows` and returns the two totals.
void writeSchedule(qint64 n, double principal, double i, double payment, QList<ScheduleRow> &rows,
                   double &interestTotal, double &principalTotal)
{
    const QString symbol = MoneyFormat::currencySymbol();
    rows.clear();
    rows.reserve(n);
    double balance = principal;
    for (qint64 r = 1; r <= n; ++r) {
        const double interestPart = balance * i;
        const double amountPaid = r == n ? balance + interestPart : payment;
        double principalPart = amountPaid - interestPart;
        balance -= principalPart;
        if (balance < 0) { // the regular payment overshot the debt
            principalPart += balance;
            balance = 0;
        }
        interestTotal += interestPart;
        principalTotal += principalPart;
        rows.append(ScheduleRow{QString::number(r), MoneyFormat::moneyText(interestTotal, symbol),
                                MoneyFormat::moneyText(principalTotal, symbol),
                                MoneyFormat::moneyText(balance, symbol)});
    }
}

double moneyField(double value)
{
    return std::isfinite(value) ? MoneyFormat::roundHalfAwayFromZero(value, 2) : 0.0;
}

} // namespace

bool calc_loan_details(LoanCalcMode mode, int years, double principal, double rate, double chosenPayment,
                       double currentBalance, LoanCalculation &fields)
{
    const double i = monthlyRate(rate);
    qint64 n = 0;
    double payment = 0;
    if (mode == LoanCalcMode::LevelPayment) {
        n = 12 * qint64(years);
        payment = levelPayment(principal, years, rate);
    } else {
        payment = chosenPayment;
        n = calcterm(12, rate, payment, principal);
    }
    if (n > kMaxPayments)
        return false;

    double interestTotal = 0;
    double principalTotal = 0;
    if (n > 0)
        writeSchedule(n, principal, i, payment, fields.schedule, interestTotal, principalTotal);

    fields.numberOfPayments = n;
    fields.totalPaid = moneyField(principalTotal + interestTotal);
    fields.totalInterest = moneyField(interestTotal);
    fields.budgetBalance = moneyField(moneyField(currentBalance) - payment);
    fields.payment = moneyField(payment);
    return true;
}
