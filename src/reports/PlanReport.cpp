#include "PlanReport.h"
#include "ReportVendor.h"

#include "BandedReport.h"
#include "ReportFonts.h"

#include "plan/FilterExpression.h"
#include "plan/MoneyFormat.h"
#include "plan/Plan.h"

#include <QFileInfo>

namespace {

// The columns of the report, in 1/96 inch from the left margin.
constexpr qreal kLeft = 8;
constexpr qreal kItemX = 184;
constexpr qreal kFreqX = 480;
constexpr qreal kAmountCaptionX = 624;
constexpr qreal kAmountLeft = 560;
constexpr qreal kAmountRight = 689;
constexpr qreal kFooterFreqLeft = 300;
constexpr qreal kFooterFreqRight = 494;
constexpr qreal kFooterLabelX = 496;
constexpr qreal kPathX = 336;
// The least room between a text that ends in "…" and the column after it.
constexpr qreal kColumnGap = 12;

// The vendor lines of the page footer.
const QString &kVendorName = ReportVendor::Name;
const QString &kProductName = ReportVendor::Product;
const QString &kVendorWeb = ReportVendor::Web;

std::unique_ptr<Table> copyOf(const QString &name, const Table &source, const QString &filter)
{
    auto copy = std::make_unique<Table>(name, source.fields());
    const FilterExpression expression = FilterExpression::parse(filter, source.fields());
    for (const Table::RowView row : source.allRows())
        if (expression.accepts(row))
            copy->appendRow(row);
    return copy;
}

QString text(const Table &table, int row, const QString &field)
{
    return table.visibleValue(row, table.fieldIndex(field)).toString();
}

QString money(const Table &table, int row, const QString &field)
{
    return MoneyFormat::currency(table.visibleValue(row, table.fieldIndex(field)).toDouble());
}

ReportBand sectionHeader(const QString &band, const QString &caption)
{
    ReportBand header(band, 24);
    header.label(band + QStringLiteral(".caption"), kLeft, 4, caption, ReportFonts::bold());
    header.setKeepWithNext(true);
    return header;
}

// A footer line: the display frequency, a caption and a total, in bold.
ReportBand totalBand(const QString &band, qreal height, qreal top, const QString &freqLabel, const QString &frequency,
                     const QString &caption, const QString &totalLabel, const QString &total)
{
    ReportBand footer(band, height);
    const QFont font = ReportFonts::bold();
    footer.rightText(freqLabel, kFooterFreqLeft, kFooterFreqRight, top, frequency, font);
    footer.label(band + QStringLiteral(".caption"), kFooterLabelX, top, caption, font);
    footer.rightText(totalLabel, kAmountLeft, kAmountRight, top, total, font);
    return footer;
}

// A detail row: the first text from `firstX` to the frequency column, the
// frequency and the amount right-aligned.
ReportBand detailBand(const QString &band, const QStringList &names, const QStringList &texts, qreal firstX)
{
    ReportBand detail(band, 16);
    const QFont font = ReportFonts::normal();
    const qreal height = ReportBand::lineHeight(font);
    int i = 0;
    if (names.size() == 4) { // a loan: its lender before the purpose
        detail.text(names.at(0), QRectF(kLeft, 0, kItemX - kColumnGap - kLeft, height), texts.at(0), font);
        i = 1;
    }
    detail.text(names.at(i), QRectF(firstX, 0, kFreqX - kColumnGap - firstX, height), texts.at(i), font);
    detail.text(names.at(i + 1), QRectF(kFreqX, 0, kAmountLeft - kFreqX, height), texts.at(i + 1), font);
    detail.rightText(names.at(i + 2), kAmountLeft, kAmountRight, 0, texts.at(i + 2), font);
    return detail;
}

} // namespace

PlanReport::PlanReport(const PlanReportInput &input) : m_input(input), m_title(titleFor(input.planfile))
{
    const Plan &plan = *input.plan;
    m_items = copyOf(QStringLiteral("kbmitems"), plan.items(), kindFilter(Kind::Income));
    m_itemsExp = copyOf(QStringLiteral("kbmitemsexp"), plan.items(), kindFilter(Kind::Expense));
    m_savings = copyOf(QStringLiteral("kbmsavings"), plan.savings(), QString());
    m_loans = copyOf(QStringLiteral("kbmloans"), plan.loans(), QString());
}

PlanReport::~PlanReport() = default;

QString PlanReport::titleFor(const QString &planfile)
{
    return QFileInfo(planfile).completeBaseName();
}

void PlanReport::addItemSection(BandedReport &report, const Table &items, const QString &headerBand,
                                const QString &caption, const QString &groupBand, const QString &detailName) const
{
    report.addBand(sectionHeader(headerBand, caption));
    BandedReport::Group group;
    group.key = [&items](int row) { return text(items, row, QStringLiteral("cat")); };
    group.header = [&items, groupBand](int row) {
        ReportBand header(groupBand, 40);
        const QFont bold = ReportFonts::bold();
        header.label(groupBand + QStringLiteral(".caption"), kLeft, 2, QStringLiteral("Category :"), bold);
        header.text(groupBand + QStringLiteral(".cat"), QRectF(80, 2, 640, ReportBand::lineHeight(bold)),
                    text(items, row, QStringLiteral("cat")), bold);
        header.label(groupBand + QStringLiteral(".itemcaption"), kItemX, 20, QStringLiteral("Item :"), bold);
        header.label(groupBand + QStringLiteral(".freqcaption"), kFreqX, 20, QStringLiteral("Frequency :"), bold);
        header.label(groupBand + QStringLiteral(".amountcaption"), kAmountCaptionX, 20, QStringLiteral("Amount :"),
                     bold);
        header.setKeepWithNext(true);
        return header;
    };
    report.addDetails(
        items.rowCount(),
        [&items, detailName](int row) {
            return detailBand(detailName, {detailName + ".item", detailName + ".freq", detailName + ".amount"},
                              {text(items, row, "item"), text(items, row, "freq"), money(items, row, "amount")},
                              kItemX);
        },
        group);
}

ReportLayout PlanReport::layout() const
{
    BandedReport report(m_title);

    ReportBand header(QStringLiteral("PageHeaderBand1"), 44);
    const QFont normal = ReportFonts::normal();
    header.label(QStringLiteral("PageHeaderBand1.datecaption"), kLeft, 4, QStringLiteral("Date Created :"), normal);
    header.label(QStringLiteral("PageHeaderBand1.date"), 100, 4, m_input.today.toString(m_input.dateFormat), normal);
    // The plan's name, on the line under "Page :"; a name too long for the
    // rest of the line ends in "…" at the right margin.
    const QFont titleFont = ReportFonts::title();
    const qreal titleWidth = qMin(ReportBand::textWidth(m_title, titleFont) + 2, ReportLayout::kPrintableWidth - 302);
    header.text(QStringLiteral("PageHeaderBand1.title"), QRectF(302, 20, titleWidth, ReportBand::lineHeight(titleFont)),
                m_title, titleFont);
    header.label(QStringLiteral("PageHeaderBand1.pagecaption"), 616, 4, QStringLiteral("Page :"), normal);
    header.pageField(QStringLiteral("PageHeaderBand1.page"), QRectF(656, 4, 64, ReportBand::lineHeight(normal)),
                     ReportBand::Field::PageNumber, normal);
    report.setPageHeader(header);

    ReportBand footer(QStringLiteral("PageFooterBand1"), 56);
    footer.label(QStringLiteral("PageFooterBand1.vendor"), kLeft, 4, kVendorName, ReportFonts::bold());
    footer.label(QStringLiteral("PageFooterBand1.product"), kLeft, 20, kProductName, ReportFonts::bold(11));
    footer.label(QStringLiteral("PageFooterBand1.web"), kLeft, 40, kVendorWeb, ReportFonts::normal(8));
    footer.text(
        QStringLiteral("qrlpath"),
        QRectF(kPathX, 40, ReportLayout::kPrintableWidth - kPathX, ReportBand::lineHeight(ReportFonts::normal(8))),
        m_input.programFolder, ReportFonts::normal(8));
    report.setPageFooter(footer);

    const QString freq = m_input.displayFrequencyName;
    const QString sym = m_input.cursymbol;
    const PlanTotals &t = m_input.totals;
    auto total = [&sym](double value) { return MoneyFormat::moneyText(value, sym); };

    addItemSection(report, *m_items, "GroupHeaderBand1", "Income Items", "QRGroup2", "QRSubDetail1");
    report.addBand(totalBand("QRBand3", 24, 4, "QRLincfreq", freq, "Income Total :", "QRLinctotal", total(t.income)));

    addItemSection(report, *m_itemsExp, "GroupHeaderBand2", "Expense Items", "QRGroup1", "QRSubDetail2");
    report.addBand(
        totalBand("QRBand4", 24, 4, "QRLexpfreq", freq, "Expenses Total :", "QRLexptotal", total(t.expense)));

    report.addBand(sectionHeader("QRBand1", "Savings Items"));
    const Table &savings = *m_savings;
    report.addDetails(savings.rowCount(), [&savings](int row) {
        return detailBand("QRSubDetail3", {"QRSubDetail3.desc", "QRSubDetail3.freq", "QRSubDetail3.freqamount"},
                          {text(savings, row, "desc"), text(savings, row, "freq"), money(savings, row, "freqamount")},
                          kItemX);
    });
    report.addBand(totalBand("QRBand5", 24, 4, "QRLsavfreq", freq, "Savings Total :", "QRLsavtotal", total(t.savings)));

    report.addBand(sectionHeader("QRBand2", "Loans"));
    const Table &loans = *m_loans;
    report.addDetails(loans.rowCount(), [&loans](int row) {
        return detailBand(
            "QRSubDetail4",
            {"QRSubDetail4.lender", "QRSubDetail4.purpose", "QRSubDetail4.payfreq", "QRSubDetail4.minpay"},
            {text(loans, row, "lender"), text(loans, row, "purpose"), text(loans, row, "payfreq"),
             money(loans, row, "minpay")},
            kItemX);
    });
    report.addBand(totalBand("QRBand6", 24, 4, "QRL_lnfreq", freq, "Loans Total :", "QRL_lntotal", total(t.loans)));

    report.addBand(
        totalBand("QRBand7", 28, 8, "QRL_budfreq", freq, "Budget Balance :", "QRL_budtotal", total(t.balance)));
    return report.layout();
}
