#include "RemindersReport.h"

#include "BandedReport.h"
#include "ReportFonts.h"

#include "plan/Plan.h"

RemindersReport::RemindersReport(const Plan &plan, const QString &title)
    : m_title(title), m_remind(std::make_unique<Table>(
                          QStringLiteral("kbm_remind"), plan.reminders().fields(),
                          QStringList{QStringLiteral("cat"), QStringLiteral("month"), QStringLiteral("dom")}))
{
    // Rows of equal category, month and day keep the plan's order.
    const Table &source = plan.reminders();
    for (int row = 0; row < source.rowCount(); ++row)
        m_remind->appendRow(source.visibleRow(row));
}

RemindersReport::~RemindersReport() = default;

QString RemindersReport::monthName(int month)
{
    static const QStringList names{"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
    return month >= 1 && month <= 12 ? names.at(month - 1) : QString();
}

QString RemindersReport::titleFor(const QString &kindLetter, int month)
{
    QString title =
        kindLetter == Kind::Expense ? QStringLiteral("Expense Reminders") : QStringLiteral("Income Reminders");
    if (!monthName(month).isEmpty())
        title += QStringLiteral(" For : ") + monthName(month);
    return title;
}

QString RemindersReport::filterFor(const QString &kindLetter, int month)
{
    QString filter = QStringLiteral("cat_id = ") + quoteFilterText(kindLetter);
    if (!monthName(month).isEmpty())
        filter += QStringLiteral(" and month = ") + quoteFilterText(QString::number(month));
    return filter;
}

ReportLayout RemindersReport::layout() const
{
    BandedReport report(m_title);
    const QFont font = ReportFonts::normal();
    const qreal height = ReportBand::lineHeight(font);

    QFont titleFont = ReportFonts::bold(12);
    titleFont.setItalic(true);
    titleFont.setUnderline(true);
    ReportBand header(QStringLiteral("PageHeaderBand1"), 40);
    // The title starts at 320; a title too long to end a clear gap before
    // "Page No :" moves left as far as it must, and one too long for the
    // whole width left of it ends in "…". The gap also takes the slant of the
    // italic letters, which reach past their advance.
    constexpr qreal kPageCaptionX = 560;
    constexpr qreal kTitleEnd = kPageCaptionX - 24;
    const qreal titleWidth = ReportBand::textWidth(m_title, titleFont) + 2;
    const qreal titleX = qMax<qreal>(8, qMin<qreal>(320, kTitleEnd - titleWidth));
    header.text(QStringLiteral("qrlreport"),
                QRectF(titleX, 8, qMin(titleWidth, kTitleEnd - titleX), ReportBand::lineHeight(titleFont)), m_title,
                titleFont);
    header.label(QStringLiteral("PageHeaderBand1.pagecaption"), kPageCaptionX, 8, QStringLiteral("Page No :"), font);
    header.pageField(QStringLiteral("PageHeaderBand1.page"), QRectF(624, 8, 96, height), ReportBand::Field::PageNumber,
                     font);
    report.setPageHeader(header);

    const Table &rows = *m_remind;
    auto value = [&rows](int row, const char *field) {
        return rows.visibleValue(row, rows.fieldIndex(QLatin1String(field))).toString();
    };
    BandedReport::Group group;
    group.key = [value](int row) { return value(row, "cat"); };
    group.header = [value, font, height](int row) {
        ReportBand band(QStringLiteral("GroupHeaderBand1"), 49);
        band.label(QStringLiteral("GroupHeaderBand1.caption"), 8, 0, QStringLiteral("Category :"), font);
        band.text(QStringLiteral("GroupHeaderBand1.cat"), QRectF(72, 0, 648, height), value(row, "cat"), font);
        band.label(QStringLiteral("GroupHeaderBand1.itemcaption"), 8, 24, QStringLiteral("Item :"), font);
        band.label(QStringLiteral("GroupHeaderBand1.desccaption"), 216, 24, QStringLiteral("Description :"), font);
        band.label(QStringLiteral("GroupHeaderBand1.daycaption"), 624, 24, QStringLiteral("Day"), font);
        band.label(QStringLiteral("GroupHeaderBand1.monthcaption"), 664, 24, QStringLiteral("Month"), font);
        band.text(QStringLiteral("GroupHeaderBand1.slash"), QRectF(648, 32, 17, height), QStringLiteral("/"), font,
                  Qt::AlignHCenter | Qt::AlignTop);
        band.setKeepWithNext(true);
        return band;
    };
    report.addDetails(
        rows.rowCount(),
        [value, font, height](int row) {
            ReportBand band(QStringLiteral("DetailBand1"), 16);
            // An item too long for its column ends in "…" a clear gap before
            // the description.
            band.text(QStringLiteral("DetailBand1.item"), QRectF(8, 0, 196, height), value(row, "item"), font);
            band.text(QStringLiteral("DetailBand1.desc"), QRectF(216, 0, 404, height), value(row, "desc"), font);
            band.text(QStringLiteral("DetailBand1.dom"), QRectF(623, 0, 26, height), value(row, "dom"), font,
                      Qt::AlignRight | Qt::AlignTop);
            band.text(QStringLiteral("DetailBand1.slash"), QRectF(648, 0, 17, height), QStringLiteral("/"), font,
                      Qt::AlignHCenter | Qt::AlignTop);
            band.text(QStringLiteral("DetailBand1.month"), QRectF(664, 0, 56, height), value(row, "month"), font);
            return band;
        },
        group);
    return report.layout();
}
