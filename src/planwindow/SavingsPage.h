#pragma once
#include <QWidget>

class Tfrm_budget;
class Table;
class TableModel;
class CurrencyBox;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QTableView;

// The "Savings Items" page: the plan's savings goals in a grid and, beside it,
// the current goal's dates and target, the balance still to be saved today and
// whether the goal is still running.
class SavingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SavingsPage(Tfrm_budget *window);

    // The page became the shown page.
    void pageShown();
    void adjustcolwidths();

    QTableView *grid() const { return m_grid; }

    // The texts of a goal's status.
    static QString expiredText();
    static QString activeText();
    // What the status shows before any goal and while there is none.
    static QString noGoalText();

private:
    void buildLayout();
    // The detail panel, balance and status for the current goal.
    void showCurrentGoal();

    Tfrm_budget *m_window;
    Table *m_goals;

    QTableView *m_grid = nullptr;
    TableModel *m_model = nullptr;
    QLineEdit *m_start = nullptr;
    QLineEdit *m_finish = nullptr;
    QLineEdit *m_target = nullptr;
    CurrencyBox *m_balance = nullptr;
    QLabel *m_status = nullptr;
};
