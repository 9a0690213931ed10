#include "LoansPage.h"
#include "GridCommands.h"
#include "frm_budget.h"

#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/MoneyFormat.h"
#include "plan/Plan.h"
#include "widgets/GridColumns.h"
#include "widgets/Controls.h"
#include "widgets/Format.h"
#include "widgets/TableModel.h"

#include <QDateEdit>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The date a read-only date box holds when there is no loan to show; it is
// displayed as an empty box and counts as the earliest possible date.
const QDate kNoDate(100, 1, 1);

QLineEdit *makeReadOnlyBox(const QString &name, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

QDateEdit *makeReadOnlyDateBox(const QString &name, QWidget *parent)
{
    auto *box = new QDateEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setDisplayFormat(Format::shortDateFormat());
    box->setMinimumDate(kNoDate);
    box->setSpecialValueText(QStringLiteral(" "));
    box->setDate(kNoDate);
    return box;
}

QLabel *makeCaption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

LoansPage::LoansPage(Tfrm_budget *window) : QWidget(window), m_window(window), m_loans(&window->plan().loans())
{
    setObjectName(QStringLiteral("ts_loans"));
    buildLayout();

    m_model = new TableModel(m_loans,
                             {{"purpose", QStringLiteral("Purpose"), {}},
                              {"lender", QStringLiteral("Lender"), {}},
                              {"payfreq", QStringLiteral("Frequency"), {}},
                              {"minpay", QStringLiteral("Amount"), {}}},
                             this);
    m_model->bindView(m_grid);

    connect(m_loans, &Table::currentRowChanged, this, &LoansPage::showCurrentLoan);
    connect(m_loans, &Table::rowChanged, this, &LoansPage::showCurrentLoan);
    connect(m_loans, &Table::visibleRowsReset, this, &LoansPage::showCurrentLoan);
    // The status follows the end date shown.
    connect(m_finish, &QDateEdit::dateChanged, this, &LoansPage::showLoanStatus);
    new GridCommands(m_window, m_grid, m_loans);
    showCurrentLoan();
}

void LoansPage::buildLayout()
{
    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->setSpacing(2);

    m_grid = Controls::dataGrid(QStringLiteral("DBGrid_loans"), this);
    m_grid->setAccessibleName(QStringLiteral("Loans"));
    page->addWidget(m_grid, 1);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnl_loandetail"));
    panel->setFixedWidth(156);
    auto *detail = new QVBoxLayout(panel);
    detail->setContentsMargins(4, 4, 4, 4);
    detail->setSpacing(2);
    m_status = new QLabel(QStringLiteral("OUTSTANDING"), panel);
    m_status->setObjectName(QStringLiteral("lbl_loanstatus"));
    m_status->setAlignment(Qt::AlignCenter);
    QFont statusFont = m_status->font();
    statusFont.setBold(true);
    statusFont.setPointSizeF(statusFont.pointSizeF() * 1.4);
    m_status->setFont(statusFont);
    detail->addWidget(m_status);
    detail->addSpacing(6);

    m_amtborrowed = makeReadOnlyBox(QStringLiteral("DBEdit2"), panel);
    m_amtborrowed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_intrate = makeReadOnlyBox(QStringLiteral("DBEdit3"), panel);
    m_intrate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lgth = makeReadOnlyBox(QStringLiteral("DBEdit8"), panel);
    m_lgth->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_start = makeReadOnlyDateBox(QStringLiteral("DBDateEdit1"), panel);
    m_finish = makeReadOnlyDateBox(QStringLiteral("DBDELoanFin"), panel);
    const auto field = [&](const char *caption, QWidget *box) {
        QLabel *label = makeCaption(QLatin1String(caption), panel);
        label->setBuddy(box);
        detail->addWidget(label);
        detail->addWidget(box);
        detail->addSpacing(4);
    };
    field("Amount Borrowed", m_amtborrowed);
    field("Interest Rate", m_intrate);
    field("Length Of Loan", m_lgth);
    field("Loan Start Date", m_start);
    field("Loan End Date", m_finish);
    detail->addStretch(1);
    page->addWidget(panel);
}

QString LoansPage::rateText(double rate)
{
    QString text = MoneyFormat::fixed(rate, 2);
    const QString point = QLocale().decimalPoint();
    if (text.endsWith(point + QStringLiteral("00")))
        text.chop(point.size() + 2);
    else if (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    // No digit before the point is required: 0.5 shows ".5", 0 shows nothing.
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString digits = negative ? text.mid(1) : text;
    if (digits == QLatin1String("0"))
        digits.clear();
    else if (digits.startsWith(QLatin1Char('0') + point))
        digits.remove(0, 1);
    if (digits.isEmpty())
        return QString();
    return negative ? QLatin1Char('-') + digits : digits;
}

void LoansPage::showCurrentLoan()
{
    if (m_loans->isEmpty()) {
        m_amtborrowed->clear();
        m_intrate->clear();
        m_lgth->clear();
        m_start->setDate(kNoDate);
        m_finish->setDate(kNoDate);
    } else {
        m_amtborrowed->setText(Format::currency(m_loans->asMoney("amtborrowed")));
        m_intrate->setText(rateText(m_loans->asReal("intrate")));
        m_lgth->setText(m_loans->asString("loanlgth"));
        const QDate start = m_loans->asDateTime("start").date();
        const QDate finish = m_loans->asDateTime("finish").date();
        m_start->setDate(start.isValid() ? start : kNoDate);
        m_finish->setDate(finish.isValid() ? finish : kNoDate);
    }
    showLoanStatus();
}

void LoansPage::showLoanStatus()
{
    // A loan ending on a date is paid from that date's midnight on; an empty
    // box is the earliest possible date.
    const QDate shown = m_finish->date();
    const bool paid = shown <= kNoDate || CalendarTime::isAfter(Clock::now(), CalendarTime::at(shown));
    m_status->setText(paid ? QStringLiteral("PAID") : QStringLiteral("OUTSTANDING"));
}

void LoansPage::pageShown()
{
    // The day may have changed since the label was last set.
    showLoanStatus();
}

void LoansPage::adjustcolwidths()
{
    const int A = GridColumns::widthBase();
    GridColumns::setColumnChars(m_grid, m_model->columnOf("purpose"), A / 12);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("lender"), A / 12);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("payfreq"), A / 26);
    GridColumns::setColumnChars(m_grid, m_model->columnOf("minpay"), A / 26);
}
