#pragma once
#include "loancalc/LoanPage.h"

#include "loanwindow/LoanScenarioPage.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class CurrencyBox;
class QMenuBar;
class QPrinter;
class QTabWidget;

// The loan calculator: three scenario pages ("Loan A", "Loan B", "Loan C"),
// each with the amount borrowed, the length and the rate, and three
// calculations (the level payment for the length, and the number of payments
// for two payments the user proposes), each with its totals, schedule and the
// budget balance against the plan's monthly balance. The top strip shows the
// plan's monthly figures as they were when the window opened.
class Tfrm_loan_calc : public QWidget
{
    Q_OBJECT
public:
    // The active plan's totals at "Monthly" when the calculator is opened.
    struct MonthlyFigures
    {
        double balance = 0;
        double expense = 0;
        double income = 0;
        double savings = 0;
        double loans = 0;
    };

    // `printer` is the program's printer (its own one when null).
    Tfrm_loan_calc(const MonthlyFigures &figures, QPrinter *printer, QWidget *parent = nullptr);
    ~Tfrm_loan_calc() override;

    // The Calculate button of calculation k (1..3) of page 0..2, as clicked.
    void calculate(int page, int k);
    bool calcdone(int p, int k) const { return page(p)->calcdone(k); }
    bool calc1ok() const { return m_calc1ok; }

    // The page's inputs and results as its fields hold them; nothing when a
    // number-of-payments field does not hold a whole number (that field's
    // text in `badText`).
    std::optional<LoanPage> pageValues(int page, QString *badText = nullptr) const;
    int activePage() const;
    QString savefile(int page) const { return m_savefile[page]; }

    // The File menu.
    void saveToFile();
    void printReport(bool preview);
    QMenuBar *menuBar() const { return m_menuBar; }
    // Its File menu: Save To File (Ctrl+S), Print Preview, Print (Ctrl+P) and
    // Close Loan Calculator; the main window shows it in place of its own
    // File menu while the calculator is the active window.
    QMenu *fileMenu() const { return m_fileMenu; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    QWidget *buildTopStrip(const MonthlyFigures &figures);
    bool calculateFirst(int page);
    LoanScenarioPage *page(int p) const { return m_page[static_cast<size_t>(p)]; }
    void refuse(int page, const LoanPage &values, LoanPage::Outcome outcome, int k);
    LoanPage inputs(int page) const;

    QMenuBar *m_menuBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QTabWidget *m_pages = nullptr;
    CurrencyBox *m_currentBalance = nullptr;
    std::array<LoanScenarioPage *, 3> m_page = {};
    bool m_calc1ok = false;
    QString m_savefile[3];
    QPrinter *m_printer = nullptr;
    std::unique_ptr<QPrinter> m_ownPrinter;
};
