#include "loanwindow/LoanScenarioPage.h"

#include "loanwindow/ScheduleModel.h"
#include "plan/MoneyFormat.h"
#include "widgets/CurrencyBox.h"
#include "widgets/StepSpins.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <limits>

namespace {

const char *const kLetters[3] = {"A", "B", "C"};

// The controls' names follow each page's own spelling.
QString pageName(int p)
{
    static const char *const names[3] = {"ts_s1", "ts_s2", "ts_s3"};
    return QLatin1String(names[p]);
}
QString principalName(int p)
{
    return QStringLiteral("ceprincipal_") + QLatin1String(kLetters[p]);
}
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

double cents(double value)
{
    return MoneyFormat::roundHalfAwayFromZero(value, 2);
}

} // namespace

CurrencyBox *LoanScenarioPage::moneyField(const QString &name, bool editable, QWidget *parent)
{
    auto *box = new CurrencyBox(name, parent);
    box->setReadOnly(!editable);
    return box;
}

LoanScenarioPage::LoanScenarioPage(int index, QWidget *parent) : QWidget(parent), m_index(index)
{
    setObjectName(pageName(index));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buildInputs());

    auto *panels = new QSplitter(Qt::Horizontal, this);
    panels->setObjectName(QStringLiteral("panels_") + QLatin1String(kLetters[index]));
    panels->setHandleWidth(8);
    for (int k = 1; k <= 3; ++k)
        panels->addWidget(buildPanel(k));
    panels->setSizes({289, 288, 288});
    layout->addWidget(panels, 1);

    // A step of the length works the level payment out again; a step of the
    // rate every calculation already worked out.
    connect(m_length, &LengthSpin::stepped, this, [this] {
        if (calcdone(1))
            emit calculateRequested(1);
    });
    connect(m_rate, &RateSpin::stepped, this, [this] {
        for (int k = 1; k <= 3; ++k)
            if (calcdone(k))
                emit calculateRequested(k);
    });
}

QWidget *LoanScenarioPage::buildInputs()
{
    auto *inputs = new QWidget(this);
    inputs->setFixedHeight(49);
    auto *grid = new QGridLayout(inputs);
    grid->setContentsMargins(4, 0, 4, 0);
    grid->setVerticalSpacing(1);
    m_principal = moneyField(principalName(m_index), true, inputs);
    m_length = new LengthSpin(inputs);
    m_length->setObjectName(lengthName(m_index));
    m_length->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    m_length->setValue(0);
    m_rate = new RateSpin(inputs);
    m_rate->setObjectName(rateName(m_index));
    m_rate->setDecimals(2);
    m_rate->setSingleStep(0.01);
    m_rate->setRange(-1e9, 1e9);
    m_rate->setValue(0);
    const std::pair<const char *, QWidget *> fields[] = {
        {"Amount Borrowed", m_principal}, {"Length Of Loan(Years)", m_length}, {"Interest Rate", m_rate}};
    int column = 0;
    for (const auto &[caption, field] : fields) {
        auto *label = new QLabel(QLatin1String(caption), inputs);
        label->setBuddy(field);
        grid->addWidget(label, 0, column);
        grid->addWidget(field, 1, column);
        ++column;
    }
    grid->setColumnStretch(3, 1);
    return inputs;
}

QWidget *LoanScenarioPage::buildPanel(int k)
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *heading = new QLabel(QStringLiteral("Scenario %1").arg(k), panel);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    Calculation &c = calc(k);
    c.button = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("Calculate"), panel);
    c.button->setObjectName(buttonName(m_index, k));
    layout->addWidget(c.button);
    connect(c.button, &QPushButton::clicked, this, [this, k] { emit calculateRequested(k); });

    const bool open = m_index > 0;
    const int p = m_index;
    auto *form = new QGridLayout;
    const QString paymentCaption =
        k == 1 ? QStringLiteral("Minimum Monthly Payment") : QStringLiteral("Alternative Monthly Payment %1").arg(k);
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
    buildSchedule(c, k, panel);
    layout->addWidget(c.schedule, 1);
    return panel;
}

void LoanScenarioPage::buildSchedule(Calculation &c, int k, QWidget *panel)
{
    c.schedule = new QTableView(panel);
    c.schedule->setObjectName(fieldName("sgs", m_index, k));
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
        c.schedule->setColumnWidth(
            col, col == 0 ? qMax(64, metrics.horizontalAdvance(QStringLiteral("Payment")) + 14) : qMax(64, amount));
    }
    c.schedule->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    c.schedule->horizontalHeader()->setStretchLastSection(true);
}

LoanPage LoanScenarioPage::inputs(double currentBalance) const
{
    LoanPage page;
    page.principal = cents(m_principal->value());
    page.years = m_length->value();
    page.rate = cents(m_rate->value());
    page.currentBalance = cents(currentBalance);
    for (int k = 1; k <= 3; ++k) {
        const Calculation &c = calc(k);
        LoanCalculation &fields = page.calculations[static_cast<size_t>(k - 1)];
        fields.payment = cents(c.payment->value());
        fields.numberOfPayments = c.numberOfPayments->text().trimmed().toLongLong();
        fields.totalInterest = cents(c.totalInterest->value());
        fields.totalPaid = cents(c.totalPaid->value());
        fields.budgetBalance = cents(c.budgetBalance->value());
        fields.schedule = c.rows->rows();
    }
    return page;
}

std::optional<LoanPage> LoanScenarioPage::values(double currentBalance, QString *badText) const
{
    for (const Calculation &c : m_calculations) {
        bool ok = false;
        c.numberOfPayments->text().trimmed().toLongLong(&ok);
        if (!ok) {
            if (badText)
                *badText = c.numberOfPayments->text();
            return std::nullopt;
        }
    }
    return inputs(currentBalance);
}

void LoanScenarioPage::showResult(int k, const LoanCalculation &result)
{
    Calculation &c = calc(k);
    c.payment->setValue(result.payment);
    c.numberOfPayments->setText(QString::number(result.numberOfPayments));
    c.totalInterest->setValue(result.totalInterest);
    c.totalPaid->setValue(result.totalPaid);
    c.budgetBalance->setValue(result.budgetBalance);
    c.rows->setRows(result.schedule);
}

int LoanScenarioPage::uncalculatedPayment() const
{
    for (int k = 2; k <= 3; ++k) {
        const Calculation &c = calc(k);
        if (c.payment->value() != 0 && !calcdone(k) && c.rows->rows().value(0).payment.isEmpty())
            return k;
    }
    return 0;
}

QString LoanScenarioPage::numberOfPaymentsText(int k) const
{
    return calc(k).numberOfPayments->text();
}

QWidget *LoanScenarioPage::fieldToCorrect(LoanPage::Outcome outcome, int k) const
{
    switch (outcome) {
    case LoanPage::Outcome::NoPrincipal: return m_principal;
    case LoanPage::Outcome::NoLength:
    case LoanPage::Outcome::TooLong: return m_length;
    case LoanPage::Outcome::NoRate: return m_rate;
    default: return calc(k).payment;
    }
}
