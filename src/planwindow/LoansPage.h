#pragma once
#include <QWidget>

class Tfrm_budget;
class Table;
class TableModel;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;

// The "Loans" page: the plan's loans in a read-only grid and, on the right,
// the current loan's details with whether it is paid.
class LoansPage : public QWidget
{
    Q_OBJECT
public:
    explicit LoansPage(Tfrm_budget *window);

    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();

    QTableView *grid() const { return m_grid; }

    // An interest rate in the display pattern "#.##": at most two decimals,
    // no trailing zeros, no zero before the point ("7.5", "7", ".5", "").
    static QString rateText(double rate);

private:
    void buildLayout();
    // The detail panel from the current row, then the status label.
    void showCurrentLoan();
    void showLoanStatus();

    Tfrm_budget *m_window;
    Table *m_loans;
    QTableView *m_grid = nullptr;
    TableModel *m_model = nullptr;
    QLabel *m_status = nullptr;
    QLineEdit *m_amtborrowed = nullptr;
    QLineEdit *m_intrate = nullptr;
    QLineEdit *m_lgth = nullptr;
    QDateEdit *m_start = nullptr;
    QDateEdit *m_finish = nullptr;
};
