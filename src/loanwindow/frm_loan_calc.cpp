#include "loanwindow/frm_loan_calc.h"

#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanTextFile.h"
#include "loanwindow/ScheduleModel.h"
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
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <limits>

namespace {

const char *const kLetters[3] = {"A", "B", "C"};

// The controls' names follow each page's own spelling.
QString principalName(int p) { return QStringLiteral("ceprincipal_") + QLatin1String(kLetters[p]); }
QString lengthName(int p)
{
    static const char *const names[3] = {"Rxlgth_A", "RXlgth_B", "rxlgth_C"};
    return QLatin1String(names[p]);
}
QString rateName(int p)
{
    static const char *const names[3] = {"RxRate_A", "RXrate_B", "rxrate_C"};
    return QLatin1String(names[p]);
}
QString buttonName(int p, int k)
{
    static const char *const prefixes[3] = {"btncalcA", "btncalcb", "btncalcC"};
    return QLatin1String(prefixes[p]) + QString::number(k);
}
QString fieldName(const char *kind, int p, int k)
{
    if (p == 0 && k == 1 && QLatin1String(kind) == QLatin1String("cepayment"))
        return QStringLiteral("cePaymentA_1");
    return QLatin1String(kind) + QLatin1String(kLetters[p]) + QLatin1Char('_') + QString::number(k);
}

CurrencyBox *moneyField(const QString &name, bool editable, QWidget *parent)
{
    auto *box = new CurrencyBox(name, parent);
    box->setReadOnly(!editable);
    return box;
}

} // namespace

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
    for (int p = 0; p < 3; ++p)
        m_pages->addTab(buildPage(p), style()->standardIcon(pictures[p]), QLatin1String(captions[p]));
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
    connect(entry("CloseLoanCalculator1", "&Close Loan Calculator", QStyle::SP_DialogCloseButton),
            &QAction::triggered, this, [this] {
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
        CurrencyBox *box = moneyField(QLatin1String(fields[i].name), i > 0, strip);
        caption->setBuddy(box);
        box->setValue(MoneyFormat::roundHalfAwayFromZero(fields[i].value, 2));
        grid->addWidget(box, 1, i);
        if (i == 0)
            m_currentBalance = box;
    }
    return strip;
}

QWidget *Tfrm_loan_calc::buildPage(int p)
{
    static const char *const pageNames[3] = {"ts_s1", "ts_s2", "ts_s3"};
    auto *page = new QWidget(this);
    page->setObjectName(QLatin1String(pageNames[p]));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);

    auto *inputs = new QWidget(page);
    inputs->setFixedHeight(49);
    auto *grid = new QGridLayout(inputs);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setVerticalSpacing(1);
    Page &widgets = m_page[p];
    auto *borrowed = new QLabel(QStringLiteral("Amount Borrowed"), inputs);
    grid->addWidget(borrowed, 0, 0);
    widgets.principal = moneyField(principalName(p), true, inputs);
    borrowed->setBuddy(widgets.principal);
    grid->addWidget(widgets.principal, 1, 0);
    auto *length = new QLabel(QStringLiteral("Length Of Loan(Years)"), inputs);
    grid->addWidget(length, 0, 1);
    widgets.length = new LengthSpin(inputs);
    length->setBuddy(widgets.length);
    widgets.length->setObjectName(lengthName(p));
    widgets.length->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    widgets.length->setValue(0);
    grid->addWidget(widgets.length, 1, 1);
    auto *rate = new QLabel(QStringLiteral("Interest Rate"), inputs);
    grid->addWidget(rate, 0, 2);
    widgets.rate = new RateSpin(inputs);
    rate->setBuddy(widgets.rate);
    widgets.rate->setObjectName(rateName(p));
    widgets.rate->setDecimals(2);
    widgets.rate->setSingleStep(0.01);
    widgets.rate->setRange(-1e9, 1e9);
    widgets.rate->setValue(0);
    grid->addWidget(widgets.rate, 1, 2);
    grid->setColumnStretch(3, 1);
    layout->addWidget(inputs);

    auto *panels = new QSplitter(Qt::Horizontal, page);
    panels->setObjectName(QStringLiteral("panels_") + QLatin1String(kLetters[p]));
    panels->setHandleWidth(8);
    for (int k = 1; k <= 3; ++k)
        panels->addWidget(buildPanel(p, k));
    panels->setSizes({289, 288, 288});
    layout->addWidget(panels, 1);

    connect(widgets.length, &LengthSpin::stepped, this, [this, p] {
        if (m_calcdone[p][0])
            calculate(p, 1);
    });
    connect(widgets.rate, &RateSpin::stepped, this, [this, p] {
        for (int k = 1; k <= 3; ++k)
            if (m_calcdone[p][k - 1])
                calculate(p, k);
    });
    return page;
}

QWidget *Tfrm_loan_calc::buildPanel(int p, int k)
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *heading = new QLabel(QStringLiteral("Scenario %1").arg(k), panel);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    Calculation &c = m_page[p].calculations[static_cast<size_t>(k - 1)];
    c.button = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Calculate"), panel);
    c.button->setObjectName(buttonName(p, k));
    layout->addWidget(c.button);
    connect(c.button, &QPushButton::clicked, this, [this, p, k] { calculate(p, k); });

    // Page A takes only the proposed payments; pages B and C take typing in
    // every field, which the next calculation overwrites.
    const bool open = p > 0;
    auto *form = new QGridLayout;
    const QString paymentCaption = k == 1 ? QStringLiteral("Minimum Monthly Payment")
                                          : QStringLiteral("Alternative Monthly Payment %1").arg(k);
    c.payment = moneyField(fieldName("cepayment", p, k), open || k > 1, panel);
    c.numberOfPayments = new QLineEdit(QStringLiteral("0"), panel);
    c.numberOfPayments->setObjectName(fieldName("eb_nop", p, k));
    c.numberOfPayments->setReadOnly(!open);
    c.numberOfPayments->setAlignment(Qt::AlignRight);
    c.totalInterest = moneyField(fieldName("cetotalint", p, k), open, panel);
    c.totalPaid = moneyField(fieldName("cetotal", p, k), open, panel);
    c.budgetBalance = moneyField(fieldName("cebudgetbal", p, k), open, panel);
    const std::pair<QString, QWidget *> rows[] = {
        {paymentCaption, c.payment},
        {QStringLiteral("Number Of Payments"), c.numberOfPayments},
        {QStringLiteral("Total Interest Paid"), c.totalInterest},
        {QStringLiteral("Total Paid Back"), c.totalPaid},
        {QStringLiteral("Budget Balance"), c.budgetBalance},
    };
    int row = 0;
    for (const auto &[caption, field] : rows) {
        auto *label = new QLabel(caption, panel);
        label->setBuddy(field);
        // The three scenarios have the same captions: the name tells which.
        field->setAccessibleName(QStringLiteral("Scenario %1 %2").arg(k).arg(caption));
        form->addWidget(label, row, 0);
        form->addWidget(field, row, 1);
        ++row;
    }
    layout->addLayout(form);

    c.schedule = new QTableView(panel);
    c.schedule->setObjectName(fieldName("sgs", p, k));
    c.rows = new ScheduleModel(c.schedule);
    c.schedule->setModel(c.rows);
    c.schedule->verticalHeader()->hide();
    c.schedule->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.schedule->setTabKeyNavigation(false);
    c.schedule->setAccessibleName(QStringLiteral("Scenario %1 Payment Schedule").arg(k));
    // Columns 64 pixels wide as laid out for an 8-point font, wider where the
    // font in use needs it for an amount; rows as high as a line of text.
    const QFontMetrics metrics(c.schedule->font());
    const int amount = metrics.horizontalAdvance(MoneyFormat::moneyText(-99999.99)) + 10;
    for (int col = 0; col < 4; ++col) {
        c.schedule->setColumnWidth(col, col == 0 ? qMax(64, metrics.horizontalAdvance(QStringLiteral("Payment")) + 14)
                                                 : qMax(64, amount));
    }
    c.schedule->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    c.schedule->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(c.schedule, 1);
    return panel;
}

int Tfrm_loan_calc::activePage() const
{
    return m_pages->currentIndex();
}

LoanPage Tfrm_loan_calc::inputs(int p) const
{
    const Page &w = m_page[p];
    LoanPage page;
    page.principal = MoneyFormat::roundHalfAwayFromZero(w.principal->value(), 2);
    page.years = w.length->value();
    page.rate = MoneyFormat::roundHalfAwayFromZero(w.rate->value(), 2);
    page.currentBalance = MoneyFormat::roundHalfAwayFromZero(m_currentBalance->value(), 2);
    for (int k = 0; k < 3; ++k) {
        const Calculation &c = w.calculations[static_cast<size_t>(k)];
        LoanCalculation &fields = page.calculations[static_cast<size_t>(k)];
        fields.payment = MoneyFormat::roundHalfAwayFromZero(c.payment->value(), 2);
        fields.numberOfPayments = c.numberOfPayments->text().trimmed().toLongLong();
        fields.totalInterest = MoneyFormat::roundHalfAwayFromZero(c.totalInterest->value(), 2);
        fields.totalPaid = MoneyFormat::roundHalfAwayFromZero(c.totalPaid->value(), 2);
        fields.budgetBalance = MoneyFormat::roundHalfAwayFromZero(c.budgetBalance->value(), 2);
        fields.schedule = c.rows->rows();
    }
    return page;
}

std::optional<LoanPage> Tfrm_loan_calc::pageValues(int p, QString *badText) const
{
    for (const Calculation &c : m_page[p].calculations) {
        bool ok = false;
        c.numberOfPayments->text().trimmed().toLongLong(&ok);
        if (!ok) {
            if (badText)
                *badText = c.numberOfPayments->text();
            return std::nullopt;
        }
    }
    return inputs(p);
}

void Tfrm_loan_calc::showResult(int p, int k, const LoanCalculation &result)
{
    Calculation &c = m_page[p].calculations[static_cast<size_t>(k - 1)];
    c.payment->setValue(result.payment);
    c.numberOfPayments->setText(QString::number(result.numberOfPayments));
    c.totalInterest->setValue(result.totalInterest);
    c.totalPaid->setValue(result.totalPaid);
    c.budgetBalance->setValue(result.budgetBalance);
    c.rows->setRows(result.schedule);
}

void Tfrm_loan_calc::refuse(int p, const LoanPage &values, LoanPage::Outcome outcome, int k)
{
    MessageBox::error(this, values.message(outcome));
    Page &w = m_page[p];
    QWidget *focus = nullptr;
    switch (outcome) {
    case LoanPage::Outcome::NoPrincipal: focus = w.principal; break;
    case LoanPage::Outcome::NoLength:
    case LoanPage::Outcome::TooLong: focus = w.length; break;
    case LoanPage::Outcome::NoRate: focus = w.rate; break;
    default: focus = w.calculations[static_cast<size_t>(k - 1)].payment; break;
    }
    Controls::focusToCorrect(focus);
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
    showResult(p, 1, values.calculations[0]);
    m_calcdone[p][0] = true;
    return true;
}

void Tfrm_loan_calc::calculate(int p, int k)
{
    if (k == 1) {
        calculateFirst(p);
        return;
    }
    m_calc1ok = true;
    if (MoneyFormat::roundHalfAwayFromZero(m_page[p].calculations[0].payment->value(), 2) == 0)
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
    showResult(p, k, fields);
    if (fields.numberOfPayments != 0)
        m_calcdone[p][k - 1] = true;
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
    for (int k = 2; k <= 3; ++k) {
        const Calculation &c = m_page[p].calculations[static_cast<size_t>(k - 1)];
        if (c.payment->value() != 0 && !m_calcdone[p][k - 1] && c.rows->rows().value(0).payment.isEmpty()) {
            MessageBox::error(this, QStringLiteral("Scenario %1's payment has not been calculated: press its "
                                                   "Calculate button first")
                                        .arg(k));
            Controls::focusToCorrect(c.button);
            return;
        }
    }
    // The page's values as the core has them, with each number of payments
    // as its field holds it (pages B and C take typing there).
    LoanReportInput input = LoanReport::fromPage(inputs(p), Clock::today());
    input.dateFormat = Format::shortDateFormat();
    for (int k = 0; k < 3; ++k)
        input.calculations[static_cast<size_t>(k)].numberOfPayments =
            m_page[p].calculations[static_cast<size_t>(k)].numberOfPayments->text();
    const LoanReport report(input);
    if (report.refusal() != LoanReport::Refusal::None) {
        MessageBox::error(this, report.message());
        Page &w = m_page[p];
        if (report.refusal() == LoanReport::Refusal::NoPrincipal)
            Controls::focusToCorrect(w.principal);
        else if (report.refusal() == LoanReport::Refusal::NoLength)
            Controls::focusToCorrect(w.length);
        else if (report.refusal() == LoanReport::Refusal::NoRate)
            Controls::focusToCorrect(w.rate);
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
