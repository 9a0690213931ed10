#pragma once
#include "loancalc/LoanPage.h"

#include <QWidget>
#include <array>
#include <optional>

class CurrencyBox;
class LengthSpin;
class QLineEdit;
class QPushButton;
class QTableView;
class RateSpin;
class ScheduleModel;

// One page of the loan calculator ("Loan A", "Loan B" or "Loan C"): the
// amount borrowed, the length and the rate, and three calculations side by
// side, each with its Calculate button, its payment, number of payments,
// totals, budget balance and schedule. The page holds the fields and reads
// and shows their values; the calculator window does the arithmetic.
class LoanScenarioPage : public QWidget
{
    Q_OBJECT
public:
    // Page `index` 0..2. Page A takes only the proposed payments; pages B and
    // C take typing in every field, which the next calculation overwrites.
    LoanScenarioPage(int index, QWidget *parent = nullptr);

    // A money field of the calculator, read-only unless `editable`.
    static CurrencyBox *moneyField(const QString &name, bool editable, QWidget *parent);

    // The page's fields as values, with `currentBalance` the plan's monthly
    // balance; the numbers of payments as whole numbers (0 when not one).
    LoanPage inputs(double currentBalance) const;
    // The same, or nothing when a number-of-payments field does not hold a
    // whole number (that field's text in `badText`).
    std::optional<LoanPage> values(double currentBalance, QString *badText = nullptr) const;
    void showResult(int k, const LoanCalculation &result);

    // Whether calculation k (1..3) has been worked out since the page opened.
    bool calcdone(int k) const { return m_calcdone[static_cast<size_t>(k - 1)]; }
    void setCalcdone(int k) { m_calcdone[static_cast<size_t>(k - 1)] = true; }
    // The first of calculations 2 and 3 with a payment typed but never worked
    // out, so without a schedule to print; 0 when there is none.
    int uncalculatedPayment() const;

    CurrencyBox *principal() const { return m_principal; }
    LengthSpin *length() const { return m_length; }
    RateSpin *rate() const { return m_rate; }
    CurrencyBox *payment(int k) const { return calc(k).payment; }
    QPushButton *calculateButton(int k) const { return calc(k).button; }
    QString numberOfPaymentsText(int k) const;
    // The field a refused calculation k asks to correct.
    QWidget *fieldToCorrect(LoanPage::Outcome outcome, int k) const;

signals:
    // Calculate pressed for calculation k, or a step of the length or rate
    // that works calculation k out again.
    void calculateRequested(int k);

private:
    struct Calculation
    {
        QPushButton *button = nullptr;
        CurrencyBox *payment = nullptr;
        QLineEdit *numberOfPayments = nullptr;
        CurrencyBox *totalInterest = nullptr;
        CurrencyBox *totalPaid = nullptr;
        CurrencyBox *budgetBalance = nullptr;
        QTableView *schedule = nullptr;
        ScheduleModel *rows = nullptr;
    };

    QWidget *buildInputs();
    QWidget *buildPanel(int k);
    void buildSchedule(Calculation &c, int k, QWidget *panel);
    const Calculation &calc(int k) const { return m_calculations[static_cast<size_t>(k - 1)]; }
    Calculation &calc(int k) { return m_calculations[static_cast<size_t>(k - 1)]; }

    int m_index;
    CurrencyBox *m_principal = nullptr;
    LengthSpin *m_length = nullptr;
    RateSpin *m_rate = nullptr;
    std::array<Calculation, 3> m_calculations;
    std::array<bool, 3> m_calcdone = {};
};
