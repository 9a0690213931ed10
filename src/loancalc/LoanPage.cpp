#include "loancalc/LoanPage.h"

#include "loancalc/LoanArithmetic.h"
#include "plan/MoneyFormat.h"

#include <cmath>

LoanPage::Outcome LoanPage::calculate(int k)
{
    if (k == 1)
        return calculateLevelPayment();

    if (calculations[0].payment == 0) {
        const Outcome first = calculateLevelPayment();
        if (first != Outcome::Done)
            return first;
    }
    LoanCalculation &fields = calculations[static_cast<size_t>(k - 1)];
    if (fields.payment == 0)
        return Outcome::NoPayment;
    if (!calc_loan_details(LoanCalcMode::ChosenPayment, years, principal, rate, fields.payment, currentBalance, fields))
        return Outcome::TooSmall;
    return fields.numberOfPayments == 0 ? noPayments(k) : Outcome::Done;
}

LoanPage::Outcome LoanPage::calculateLevelPayment()
{
    if (principal == 0)
        return Outcome::NoPrincipal;
    if (years == 0)
        return Outcome::NoLength;
    if (years > kMaxLoanYears || years < -kMaxLoanYears)
        return Outcome::TooLong;
    if (rate == 0)
        return Outcome::NoRate;
    calc_loan_details(LoanCalcMode::LevelPayment, years, principal, rate, 0.0, currentBalance, calculations[0]);
    return Outcome::Done;
}

LoanPage::Outcome LoanPage::noPayments(int k) const
{
    const double payment = calculations[static_cast<size_t>(k - 1)].payment;
    return payment > principal * (1 + monthlyRate(rate)) && principal > 0 ? Outcome::OnePayment : Outcome::TooLow;
}

QString LoanPage::message(Outcome outcome) const
{
    switch (outcome) {
    case Outcome::Done: return QString();
    case Outcome::NoPrincipal: return QStringLiteral("Please enter the amount you wish to borrow");
    case Outcome::NoLength: return QStringLiteral("Please enter the length of the loan");
    case Outcome::NoRate: return QStringLiteral("Please enter the interest rate");
    case Outcome::NoPayment: return QStringLiteral("Please enter a monthly payment amount");
    case Outcome::TooLong: return QStringLiteral("The length of the loan can be at most %1 years").arg(kMaxLoanYears);
    case Outcome::TooSmall:
        return QStringLiteral("The payment you have selected would take more than %1 payments (%2 years) to repay "
                              "the loan. Please select a larger amount")
            .arg(kMaxPayments)
            .arg(kMaxLoanYears);
    case Outcome::OnePayment:
        return QStringLiteral("The payment you have selected is more than the whole loan: one payment of %1 repays "
                              "it. Please select a smaller amount")
            .arg(MoneyFormat::moneyText(MoneyFormat::roundHalfAwayFromZero(principal * (1 + monthlyRate(rate)), 2)));
    case Outcome::TooLow:
        return QStringLiteral("The payment you have selected is too low. Please select an "
                              "amount greater than : ")
            + MoneyFormat::moneyText(calculations[0].payment);
    }
    return QString();
}

double LoanPage::readMoney(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? MoneyFormat::roundHalfAwayFromZero(value, 2) : 0.0;
}
