#pragma once
#include "ReportBand.h"
#include "ReportLayout.h"

#include <functional>

// The report engine: a page header at the top of every page, a page footer at
// the bottom of every page (the first and the last too), and between them the
// report's bands in order (section headers and footers, group headers and
// footers, detail rows, the summary), each on the page where it fits.
// An empty report is still one page with its header and footer.
class BandedReport
{
public:
    explicit BandedReport(const QString &title);

    void setPageHeader(const ReportBand &band) { m_pageHeader = band; }
    void setPageFooter(const ReportBand &band) { m_pageFooter = band; }

    // The next band in printing order.
    void addBand(const ReportBand &band);

    // Grouping of detail rows: `header` is printed before the first row and
    // whenever `key` changes from one row to the next, `footer` after the last
    // row of each group. Either may be left empty.
    struct Group
    {
        std::function<QString(int row)> key;
        std::function<ReportBand(int row)> header;
        std::function<ReportBand(int row)> footer;
    };
    // One detail band per row 0 .. rowCount - 1, grouped when `group.key` is set.
    void addDetails(int rowCount, const std::function<ReportBand(int row)> &detail, const Group &group = {});

    // Lays the bands out into pages.
    ReportLayout layout() const;

private:
    QString m_title;
    ReportBand m_pageHeader;
    ReportBand m_pageFooter;
    QList<ReportBand> m_bands;
};
