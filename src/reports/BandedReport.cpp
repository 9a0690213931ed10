#include "BandedReport.h"

namespace {

struct PageBuilder
{
    ReportLayout &layout;
    const ReportBand &header;
    const ReportBand &footer;
    qreal y = 0;
    bool pageHasBands = false;

    // Page numbers and counts are written once every page is known.
    struct PendingField
    {
        qsizetype page;
        qsizetype item;
        ReportBand::Field field;
    };
    QList<PendingField> pending;

    qreal bottom() const { return ReportLayout::kPrintableHeight - footer.height(); }

    void place(const ReportBand &band, qreal top)
    {
        ReportPage &page = layout.pages.last();
        page.bands.append({band.name(), QRectF(0, top, ReportLayout::kPrintableWidth, band.height())});
        for (const ReportBand::Entry &entry : band.entries()) {
            ReportItem item = entry.item;
            item.rect.translate(0, top);
            if (entry.field != ReportBand::Field::None)
                pending.append({layout.pages.size() - 1, page.items.size(), entry.field});
            page.items.append(item);
        }
    }

    void startPage()
    {
        layout.pages.append(ReportPage());
        place(header, 0);
        y = header.height();
        pageHasBands = false;
    }

    void endPage() { place(footer, bottom()); }

    void fillPageFields()
    {
        const QString count = QString::number(layout.pages.size());
        for (const PendingField &f : pending)
            layout.pages[f.page].items[f.item].text =
                f.field == ReportBand::Field::PageNumber ? QString::number(f.page + 1) : count;
    }

    void add(const ReportBand &band, qreal roomNeeded)
    {
        const bool full = y + roomNeeded > bottom();
        if (pageHasBands && (band.newPageBefore() || full)) {
            endPage();
            startPage();
        }
        place(band, y);
        y += band.height();
        pageHasBands = true;
    }
};

} // namespace

BandedReport::BandedReport(const QString &title) : m_title(title)
{
}

void BandedReport::addBand(const ReportBand &band)
{
    m_bands.append(band);
}

void BandedReport::addDetails(int rowCount, const std::function<ReportBand(int)> &detail, const Group &group)
{
    QString previousKey;
    for (int row = 0; row < rowCount; ++row) {
        const QString key = group.key ? group.key(row) : QString();
        const bool newGroup = group.key && (row == 0 || key != previousKey);
        if (newGroup && row > 0 && group.footer)
            addBand(group.footer(row - 1));
        if (newGroup && group.header)
            addBand(group.header(row));
        addBand(detail(row));
        previousKey = key;
    }
    if (group.key && rowCount > 0 && group.footer)
        addBand(group.footer(rowCount - 1));
}

ReportLayout BandedReport::layout() const
{
    ReportLayout layout;
    layout.pageLayout = ReportLayout::letterPortrait();
    layout.title = m_title;
    PageBuilder builder{layout, m_pageHeader, m_pageFooter, 0, false, {}};
    builder.startPage();
    for (qsizetype i = 0; i < m_bands.size(); ++i) {
        const ReportBand &band = m_bands.at(i);
        // A band kept with the next one needs room for every band of the
        // chain it starts, up to and including the first band not kept with
        // its own next: a section heading followed by a group heading moves
        // on unless the group's first row fits under both.
        qreal room = band.height();
        for (qsizetype j = i; j + 1 < m_bands.size() && m_bands.at(j).keepWithNext(); ++j)
            room += m_bands.at(j + 1).height();
        builder.add(band, room);
    }
    builder.endPage();
    builder.fillPageFields();
    return layout;
}
