#include "LoanReport.h"
#include "ReportVendor.h"

#include "BandedReport.h"
#include "ReportFonts.h"

#include "loancalc/LoanPage.h"
#include "plan/MoneyFormat.h"

#include <QLocale>
#include <cmath>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kSilver(192, 192, 192);

// The columns of a schedule, in 1/96 inch from the left margin.
constexpr qreal kColumnX[4] = {56, 168, 288, 440};
// The right edges of the four captions of a section header and the left
// bounds of their right-aligned texts.
constexpr qreal kCaptionRight[4] = {265, 409, 561, 673};
constexpr qreal kCaptionLeft[4] = {96, 273, 417, 569};

constexpr qreal kHeaderHeight = 24;
constexpr qreal kTitleHeight = 28;
constexpr qreal kSectionHeight = 76;
constexpr qreal kRowHeight = 18;
constexpr qreal kFooterHeight = 56;

const QString kProductLine = ReportVendor::Product + QStringLiteral(" - Loan Calculator");
const QString &kVendorName = ReportVendor::Name;
const QString &kVendorWeb = ReportVendor::Web;

// Texts drawn white on the navy bands.
bool isWhiteText(const QString &name)
{
    return name.startsWith(QLatin1String("PageHeaderBand1.")) || name == QLatin1String("QRLabel1")
        || name == QLatin1String("QRLabel2") || name == QLatin1String("QRLabel3");
}

QString integerMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString floatMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

bool readInteger(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok;
}

// A grid cell's money text without its currency symbol, which stands at the
// front or, for a negative amount, right after the minus sign.
QString withoutSymbol(const QString &cell, const QString &symbol)
{
    if (symbol.isEmpty())
        return cell;
    if (cell.startsWith(symbol))
        return cell.mid(symbol.size());
    if (cell.startsWith(u'-') && QStringView(cell).mid(1).startsWith(symbol))
        return u'-' + cell.mid(1 + symbol.size());
    return cell;
}

// A number with the default locale's decimal separator and no thousands
// separators.
bool readFloat(const QString &text, double &value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    value = locale.toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value);
}

} // namespace

LoanReport::LoanReport(const LoanReportInput &input) : m_input(input)
{
    if (m_input.currencySymbol.isEmpty())
        m_input.currencySymbol = MoneyFormat::currencySymbol();
    const QStringList names{QStringLiteral("kbms1"), QStringLiteral("kbms2"), QStringLiteral("kbms3")};
    for (size_t k = 0; k < 3; ++k)
        m_tables[k] = std::make_unique<Table>(names.at(static_cast<qsizetype>(k)), scheduleFields(),
                                              QStringList{QStringLiteral("payment")});
    if (!check())
        for (auto &table : m_tables)
            table->clear();
}

LoanReport::~LoanReport() = default;

QList<FieldDef> LoanReport::scheduleFields()
{
    return {{QStringLiteral("payment"), FieldType::Integer, 0, QString()},
            {QStringLiteral("interest"), FieldType::Money, 0, QString()},
            {QStringLiteral("principal"), FieldType::Money, 0, QString()},
            {QStringLiteral("balance"), FieldType::Money, 0, QString()}};
}

LoanReportInput LoanReport::fromPage(const LoanPage &page, const QDate &today)
{
    LoanReportInput input;
    input.principal = page.principal;
    input.years = page.years;
    input.rate = page.rate;
    for (size_t k = 0; k < 3; ++k) {
        const LoanCalculation &from = page.calculations[k];
        LoanReportInput::Calculation &to = input.calculations[k];
        to.payment = from.payment;
        to.numberOfPayments = QString::number(from.numberOfPayments);
        to.totalInterest = from.totalInterest;
        to.totalPaid = from.totalPaid;
        to.schedule = from.schedule;
    }
    input.today = today;
    input.currencySymbol = MoneyFormat::currencySymbol();
    return input;
}

// The checks of the printing command, in its order; false after recording
// the first that fails.
bool LoanReport::check()
{
    auto refuse = [this](Refusal refusal, const QString &message) {
        m_refusal = refusal;
        m_message = message;
        return false;
    };
    if (m_input.principal == 0)
        return refuse(Refusal::NoPrincipal, QStringLiteral("Please enter the amount you wish to borrow"));
    if (m_input.years == 0)
        return refuse(Refusal::NoLength, QStringLiteral("Please enter the length of the loan"));
    if (m_input.rate == 0)
        return refuse(Refusal::NoRate, QStringLiteral("Please enter the interest rate"));
    const auto &calcs = m_input.calculations;
    if (calcs[0].payment == 0 && calcs[1].payment == 0 && calcs[2].payment == 0)
        return refuse(Refusal::NothingCalculated, QStringLiteral("You have not calculated any loan details"));
    for (int k = 1; k <= 3; ++k)
        if (calcs[static_cast<size_t>(k - 1)].payment > 0 && !fillSection(k))
            return false;
    return true;
}

// Reads section k's number of payments and fills its table from its grid
// rows; false after recording the first text that does not read.
bool LoanReport::fillSection(int k)
{
    const size_t index = static_cast<size_t>(k - 1);
    const LoanReportInput::Calculation &calc = m_input.calculations[index];
    int count = 0;
    if (!readInteger(calc.numberOfPayments, count)) {
        m_refusal = Refusal::Conversion;
        m_message = integerMessage(calc.numberOfPayments);
        return false;
    }
    m_nop[index] = QString::number(count);

    Table &table = *m_tables[index];
    for (const ScheduleRow &row : calc.schedule) {
        int payment = 0;
        if (!readInteger(row.payment, payment)) {
            m_refusal = Refusal::Conversion;
            m_message = integerMessage(row.payment);
            return false;
        }
        Table::Row record;
        record << payment;
        for (const QString &cell : {row.interest, row.principal, row.balance}) {
            const QString text = withoutSymbol(cell, m_input.currencySymbol);
            double value = 0;
            if (!readFloat(text, value)) {
                m_refusal = Refusal::Conversion;
                m_message = floatMessage(text);
                return false;
            }
            record << value;
        }
        table.appendRow(record); // kept in payment order by the table
    }
    return true;
}

void LoanReport::addSection(BandedReport &report, int k, bool first) const
{
    const size_t index = static_cast<size_t>(k - 1);
    const LoanReportInput::Calculation &calc = m_input.calculations[index];
    const QString symbol = m_input.currencySymbol;
    const QString band = QStringLiteral("GroupHeaderBand%1").arg(k);
    const QString n = QString::number(k);
    const QFont bold = ReportFonts::bold();

    ReportBand header(band, kSectionHeight);
    header.fill(band + QStringLiteral(".fill"), QRectF(0, 0, ReportLayout::kPrintableWidth, kSectionHeight), kSilver);
    header.line(band + QStringLiteral(".left"), QLineF(0, 0, 0, kSectionHeight));
    header.line(band + QStringLiteral(".right"),
                QLineF(ReportLayout::kPrintableWidth, 0, ReportLayout::kPrintableWidth, kSectionHeight));
    header.label(band + QStringLiteral(".scenario"), 8, 8, QStringLiteral("Scenario : ") + n, bold);

    const QStringList captions{QStringLiteral("Minimum Monthly Payment"), QStringLiteral("Number Of Payments"),
                               QStringLiteral("Total Interest Payable"), QStringLiteral("Total Paid Back")};
    const QStringList captionNames{QStringLiteral(".paymentcaption"), QStringLiteral(".nopcaption"),
                                   QStringLiteral(".totalintcaption"), QStringLiteral(".totalcaption")};
    const QStringList valueNames{QStringLiteral("qrlpayment"), QStringLiteral("qrlnop"), QStringLiteral("qrltotalint"),
                                 QStringLiteral("qrltotal")};
    const QStringList values{MoneyFormat::moneyText(calc.payment, symbol), m_nop[index],
                             MoneyFormat::moneyText(calc.totalInterest, symbol),
                             MoneyFormat::moneyText(calc.totalPaid, symbol)};
    const qreal valueY = k == 1 ? 24 : 32;
    for (int c = 0; c < 4; ++c) {
        header.rightText(band + captionNames.at(c), kCaptionLeft[c], kCaptionRight[c], 8, captions.at(c), bold);
        header.rightText(valueNames.at(c) + n, kCaptionLeft[c], kCaptionRight[c], valueY, values.at(c), bold);
    }

    const QStringList columns{QStringLiteral("Payment No:"), QStringLiteral("Interest Paid :"),
                              QStringLiteral("Principal Paid :"), QStringLiteral("Outstanding Balance :")};
    const QStringList columnNames{QStringLiteral(".paymentno"), QStringLiteral(".interestcaption"),
                                  QStringLiteral(".principalcaption"), QStringLiteral(".balancecaption")};
    for (int c = 0; c < 4; ++c)
        header.label(band + columnNames.at(c), kColumnX[c], 56, columns.at(c), bold);
    header.setNewPageBefore(!first);
    header.setKeepWithNext(true);
    report.addBand(header);

    const Table &table = *m_tables[index];
    const QString detail = QStringLiteral("DetailBand%1").arg(k);
    report.addDetails(table.rowCount(), [&table, detail](int row) {
        const QFont font = ReportFonts::normal();
        const qreal height = ReportBand::lineHeight(font);
        ReportBand rowBand(detail, kRowHeight);
        rowBand.fill(detail + QStringLiteral(".fill"), QRectF(0, 0, ReportLayout::kPrintableWidth, kRowHeight),
                     kSilver);
        rowBand.frame(detail + QStringLiteral(".frame"), QRectF(0, 0, ReportLayout::kPrintableWidth, kRowHeight));
        const QStringList names{QStringLiteral(".payment"), QStringLiteral(".interest"), QStringLiteral(".principal"),
                                QStringLiteral(".balance")};
        for (int c = 0; c < 4; ++c) {
            const QVariant value = table.visibleValue(row, c);
            const QString text = c == 0 ? value.toString() : MoneyFormat::currency(value.toDouble());
            const qreal right = c < 3 ? kColumnX[c + 1] - 4 : ReportLayout::kPrintableWidth - 4;
            rowBand.text(detail + names.at(c), QRectF(kColumnX[c], 1, right - kColumnX[c], height), text, font);
        }
        return rowBand;
    });
}

ReportLayout LoanReport::layout() const
{
    BandedReport report(QStringLiteral("Kavo Loan Calculator Report"));
    const QFont bold = ReportFonts::bold();
    const qreal width = ReportLayout::kPrintableWidth;

    ReportBand header(QStringLiteral("PageHeaderBand1"), kHeaderHeight);
    header.fill(QStringLiteral("PageHeaderBand1.fill"), QRectF(0, 0, width, kHeaderHeight), kNavy);
    header.frame(QStringLiteral("PageHeaderBand1.frame"), QRectF(0, 0, width, kHeaderHeight));
    header.label(QStringLiteral("PageHeaderBand1.date"), 8, 4, m_input.today.toString(m_input.dateFormat), bold);
    header.rightText(QStringLiteral("PageHeaderBand1.pagecaption"), 500, 630, 4, QStringLiteral("Page  :"), bold);
    header.pageField(QStringLiteral("PageHeaderBand1.page"), QRectF(632, 4, 80, ReportBand::lineHeight(bold)),
                     ReportBand::Field::PageNumber, bold);
    report.setPageHeader(header);

    ReportBand footer(QStringLiteral("PageFooterBand1"), kFooterHeight);
    footer.line(QStringLiteral("PageFooterBand1.left"), QLineF(0, 0, 0, kFooterHeight));
    footer.line(QStringLiteral("PageFooterBand1.right"), QLineF(width, 0, width, kFooterHeight));
    footer.line(QStringLiteral("PageFooterBand1.bottom"), QLineF(0, kFooterHeight, width, kFooterHeight));
    footer.label(QStringLiteral("PageFooterBand1.product"), 8, 4, kProductLine, bold);
    footer.label(QStringLiteral("PageFooterBand1.vendor"), 8, 22, kVendorName, ReportFonts::bold(8));
    footer.label(QStringLiteral("PageFooterBand1.web"), 8, 36, kVendorWeb, ReportFonts::bold(8));
    report.setPageFooter(footer);

    // The inputs were checked before any section was filled, so the title
    // shows them whichever sections print.
    ReportBand title(QStringLiteral("TitleBand1"), kTitleHeight);
    title.fill(QStringLiteral("TitleBand1.fill"), QRectF(0, 0, width, kTitleHeight), kNavy);
    title.label(QStringLiteral("QRLabel1"), 8, 6,
                QStringLiteral("Principal : ") + MoneyFormat::moneyText(m_input.principal, m_input.currencySymbol)
                    + u'.',
                bold);
    title.label(QStringLiteral("QRLabel2"), 264, 6, QStringLiteral("Length of loan : %1 years.").arg(m_input.years),
                bold);
    title.label(QStringLiteral("QRLabel3"), 496, 6,
                QStringLiteral("Interest Rate : ") + MoneyFormat::fixed(m_input.rate, 2) + QStringLiteral("%."), bold);
    report.addBand(title);

    bool first = true;
    for (int k = 1; k <= 3; ++k) {
        if (m_input.calculations[static_cast<size_t>(k - 1)].payment > 0) {
            addSection(report, k, first);
            first = false;
        }
    }

    ReportLayout layout = report.layout();
    for (ReportPage &page : layout.pages)
        for (ReportItem &item : page.items)
            if (item.kind == ReportItem::Kind::Text && isWhiteText(item.name))
                item.colour = Qt::white;
    return layout;
}
