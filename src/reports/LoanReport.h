#pragma once
#include "ReportLayout.h"

#include "loancalc/LoanCalculation.h"
#include "plan/Table.h"

#include <QDate>
#include <QString>
#include <array>
#include <memory>

class BandedReport;
class LoanPage;

// What the printed loan report is built from: the values of one scenario page
// as the calculator window's fields give them. The number of payments and the
// grid cells are text, since on pages B and C they may have been typed over.
struct LoanReportInput
{
    double principal = 0; // as read from the input fields
    int years = 0;
    double rate = 0;

    struct Calculation
    {
        double payment = 0;
        QString numberOfPayments = QStringLiteral("0");
        double totalInterest = 0;
        double totalPaid = 0;
        QList<ScheduleRow> schedule; // grid rows 1 to last, cells as shown
    };
    std::array<Calculation, 3> calculations;

    QDate today;
    QString dateFormat = QStringLiteral("dd/MM/yyyy"); // the program's short date format
    // The symbol that starts the money text of the grid cells and of the
    // labels (any length, e.g. "kr"); empty means the default locale's.
    QString currencySymbol;
};

// The printed loan report (report of frm_loan_report) of one scenario page:
// the loan's inputs, then one section per calculation whose payment is
// greater than 0, with its payment, number of payments and totals and its
// schedule. Building it checks the page in the order the printing command
// does and, when nothing is wrong, fills the report tables kbms1..kbms3
// (payment, interest, principal, balance; in payment order) from the grids.
//
// A calculation whose payment is not greater than 0 prints nothing at all: no
// header, no rows. The first section printed follows the title; every later
// one starts a new page.
class LoanReport
{
public:
    enum class Refusal {
        None,
        NoPrincipal, // "Please enter the amount you wish to borrow"; focus the amount
        NoLength, // "Please enter the length of the loan"; focus the length
        NoRate, // "Please enter the interest rate"; focus the rate
        NothingCalculated, // "You have not calculated any loan details"
        Conversion, // "'%s' is not a valid integer value" / "... floating point value"
    };

    explicit LoanReport(const LoanReportInput &input);
    ~LoanReport();

    Refusal refusal() const { return m_refusal; }
    // The message box text of the refusal; empty when there is none.
    QString message() const { return m_message; }

    const Table &kbms1() const { return *m_tables[0]; }
    const Table &kbms2() const { return *m_tables[1]; }
    const Table &kbms3() const { return *m_tables[2]; }

    // The report laid out into pages; only when refusal() is None.
    ReportLayout layout() const;

    // The page's own values as the command line has them, with the default
    // locale's currency symbol.
    static LoanReportInput fromPage(const LoanPage &page, const QDate &today);

    // The fields of kbms1..kbms3.
    static QList<FieldDef> scheduleFields();

private:
    bool check();
    bool fillSection(int k);
    void addSection(BandedReport &report, int k, bool first) const;

    LoanReportInput m_input;
    Refusal m_refusal = Refusal::None;
    QString m_message;
    std::array<QString, 3> m_nop; // the number of payments of each section, as read
    std::array<std::unique_ptr<Table>, 3> m_tables;
};
