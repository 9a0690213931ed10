#include "loanwindow/frm_loan_calc.h"

#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanTextFile.h"
#include "loanwindow/LoanScenarioPage.h"
#include "widgets/StepSpins.h"
#include "plan/Clock.h"
#include "plan/MoneyFormat.h"
#include "reports/LoanReport.h"
#include "widgets/Controls.h"
#include "widgets/CurrencyBox.h"
#include "widgets/FileDialog.h"
#include "widgets/Format.h"
#include "widgets/MessageBox.h"
#include "widgets/ReportOutput.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

Tfrm_loan_calc::Tfrm_loan_calc(const MonthlyFigures &figures, QPrinter *printer, QWidget *parent)
    : QWidget(parent), m_printer(printer)
{
    setObjectName(QStringLiteral("frm_loan_calc"));
    setWindowTitle(QStringLiteral("Kavo Loan Calculator"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    buildMenu();
    layout->setMenuBar(m_menuBar);
    layout->addWidget(buildTopStrip(figures));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pc_loan"));
    const QStyle::StandardPixmap pictures[3] = {QStyle::SP_DialogApplyButton, QStyle::SP_DialogHelpButton,
                                                QStyle::SP_DialogResetButton};
    const char *const captions[3] = {"Loan A", "Loan B", "Loan C"};
    for (int p = 0; p < 3; ++p) {
        m_page[static_cast<size_t>(p)] = new LoanScenarioPage(p, m_pages);
        connect(page(p), &LoanScenarioPage::calculateRequested, this, [this, p](int k) { calculate(p, k); });
        m_pages->addTab(page(p), style()->standardIcon(pictures[p]), QLatin1String(captions[p]));
    }
    m_pages->setCurrentIndex(0);
    layout->addWidget(m_pages, 1);
    resize(1032, 740);
}

Tfrm_loan_calc::~Tfrm_loan_calc() = default;

void Tfrm_loan_calc::buildMenu()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = m_menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    m_fileMenu = file;
    const auto entry = [&](const char *name, const char *caption, QStyle::StandardPixmap picture) {
        QAction *a = file->addAction(style()->standardIcon(picture), QLatin1String(caption));
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QAction *save = entry("SaveToFile1", "&Save To File", QStyle::SP_DialogSaveButton);
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &Tfrm_loan_calc::saveToFile);
    file->addSeparator();
    connect(entry("PrintPreview1", "Print Pre&view", QStyle::SP_FileDialogContentsView), &QAction::triggered, this,
            [this] { printReport(true); });
    QAction *print = entry("Print1", "&Print", QStyle::SP_FileDialogDetailedView);
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] { printReport(false); });
    file->addSeparator();
    connect(entry("CloseLoanCalculator1", "&Close Loan Calculator", QStyle::SP_DialogCloseButton), &QAction::triggered,
            this, [this] {
                if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
                    sub->close();
                else
                    close();
            });
}

QWidget *Tfrm_loan_calc::buildTopStrip(const MonthlyFigures &figures)
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("pnl_monthly"));
    strip->setFixedHeight(57);
    auto *grid = new QGridLayout(strip);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(1);
    struct Field
    {
        const char *caption;
        const char *name;
        double value;
    };
    const Field fields[] = {
        {"Monthly  Balance", "cecurrentbal", figures.balance},
        {"Monthly Income", "ceinc", figures.income},
        {"Monthly Expenses", "ceexp", figures.expense},
        {"Monthly Savings", "cesav", figures.savings},
        {"Monthly Loans", "celoans", figures.loans},
        {"Total Outgoings", "cetotalout", figures.expense + figures.savings + figures.loans},
    };
    for (int i = 0; i < 6; ++i) {
        auto *caption = new QLabel(QLatin1String(fields[i].caption), strip);
        grid->addWidget(caption, 0, i);
        CurrencyBox *box = LoanScenarioPage::moneyField(QLatin1String(fields[i].name), i > 0, strip);
        caption->setBuddy(box);
        box->setValue(MoneyFormat::roundHalfAwayFromZero(fields[i].value, 2));
        grid->addWidget(box, 1, i);
        if (i == 0)
            m_currentBalance = box;
    }
    return strip;
}

int Tfrm_loan_calc::activePage() const
{
    return m_pages->currentIndex();
}

LoanPage Tfrm_loan_calc::inputs(int p) const
{
    return page(p)->inputs(m_currentBalance->value());
}

std::optional<LoanPage> Tfrm_loan_calc::pageValues(int p, QString *badText) const
{
    return page(p)->values(m_currentBalance->value(), badText);
}

void Tfrm_loan_calc::refuse(int p, const LoanPage &values, LoanPage::Outcome outcome, int k)
{
    MessageBox::error(this, values.message(outcome));
    Controls::focusToCorrect(page(p)->fieldToCorrect(outcome, k));
}

// Calculation 1: the level payment for the length. False, after its message,
// when an input is missing.
bool Tfrm_loan_calc::calculateFirst(int p)
{
    LoanPage values = inputs(p);
    const LoanPage::Outcome outcome = values.calculate(1);
    if (outcome != LoanPage::Outcome::Done) {
        m_calc1ok = false;
        refuse(p, values, outcome, 1);
        return false;
    }
    page(p)->showResult(1, values.calculations[0]);
    page(p)->setCalcdone(1);
    return true;
}

void Tfrm_loan_calc::calculate(int p, int k)
{
    if (k == 1) {
        calculateFirst(p);
        return;
    }
    m_calc1ok = true;
    if (MoneyFormat::roundHalfAwayFromZero(page(p)->payment(1)->value(), 2) == 0)
        calculateFirst(p);
    if (!m_calc1ok)
        return;
    LoanPage values = inputs(p);
    LoanCalculation &fields = values.calculations[static_cast<size_t>(k - 1)];
    if (fields.payment == 0) {
        refuse(p, values, LoanPage::Outcome::NoPayment, k);
        return;
    }
    if (!calc_loan_details(LoanCalcMode::ChosenPayment, values.years, values.principal, values.rate, fields.payment,
                           values.currentBalance, fields)) {
        refuse(p, values, LoanPage::Outcome::TooSmall, k);
        return;
    }
    page(p)->showResult(k, fields);
    if (fields.numberOfPayments != 0)
        page(p)->setCalcdone(k);
    else
        refuse(p, values, values.noPayments(k), k);
}

void Tfrm_loan_calc::saveToFile()
{
    const int p = activePage();
    QString bad;
    const std::optional<LoanPage> values = pageValues(p, &bad);
    if (!values) {
        MessageBox::error(this, QStringLiteral("'%1' is not a valid integer value").arg(bad));
        return;
    }
    QString file = m_savefile[p];
    if (file.isEmpty()) {
        FileDialog::Request request;
        request.title = QStringLiteral("Save Loan Calculations As");
        request.defaultSuffix = QStringLiteral("txt");
        request.filter = QStringLiteral("Pursekeep files (*.txt)");
        const std::optional<QString> chosen = FileDialog::getSaveFileName(this, request);
        if (!chosen)
            return;
        file = *chosen;
    }
    QString error;
    if (!LoanTextFile::write(file, *values, &error)) {
        MessageBox::error(this, error);
        return;
    }
    m_savefile[p] = file;
}

void Tfrm_loan_calc::printReport(bool preview)
{
    const int p = activePage();
    // A payment typed but never worked out has no schedule to print.
    if (const int k = page(p)->uncalculatedPayment()) {
        MessageBox::error(this,
                          QStringLiteral("Scenario %1's payment has not been calculated: press its "
                                         "Calculate button first")
                              .arg(k));
        Controls::focusToCorrect(page(p)->calculateButton(k));
        return;
    }
    // The page's values as the core has them, with each number of payments
    // as its field holds it (pages B and C take typing there).
    LoanReportInput input = LoanReport::fromPage(inputs(p), Clock::today());
    input.dateFormat = Format::shortDateFormat();
    for (int k = 1; k <= 3; ++k)
        input.calculations[static_cast<size_t>(k - 1)].numberOfPayments = page(p)->numberOfPaymentsText(k);
    const LoanReport report(input);
    if (report.refusal() != LoanReport::Refusal::None) {
        MessageBox::error(this, report.message());
        LoanScenarioPage *w = page(p);
        if (report.refusal() == LoanReport::Refusal::NoPrincipal)
            Controls::focusToCorrect(w->principal());
        else if (report.refusal() == LoanReport::Refusal::NoLength)
            Controls::focusToCorrect(w->length());
        else if (report.refusal() == LoanReport::Refusal::NoRate)
            Controls::focusToCorrect(w->rate());
        return;
    }
    if (!m_printer) {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownPrinter.get();
    }
    QPrinter *printer = m_printer;
    if (preview)
        ReportOutput::preview(this, printer, report.layout());
    else
        ReportOutput::print(this, printer, report.layout());
}

void Tfrm_loan_calc::closeEvent(QCloseEvent *event)
{
    emit closed();
    QWidget::closeEvent(event);
}
