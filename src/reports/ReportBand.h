#pragma once
#include "ReportLayout.h"

#include <QLineF>

// One band of a banded report: a strip the full width of the page (720 units
// of 1/96 inch) with its items placed from the band's own top-left corner.
// The report engine stacks bands down the page and starts a new page when the
// next one does not fit.
class ReportBand
{
public:
    // What the engine writes into a text item when it places the band.
    enum class Field { None, PageNumber, PageCount };

    ReportBand() = default;
    ReportBand(const QString &name, qreal height) : m_name(name), m_height(height) { }

    QString name() const { return m_name; }
    qreal height() const { return m_height; }

    // Starts a new page for this band, unless the page holds no band yet
    // beyond its page header.
    bool newPageBefore() const { return m_newPageBefore; }
    ReportBand &setNewPageBefore(bool on)
    {
        m_newPageBefore = on;
        return *this;
    }
    // Moves to the next page with the band after it (a group header and its
    // first row). Bands kept one after the other move as one, together with
    // the first band after them that is not kept (a section header, the
    // group header under it and the group's first row).
    bool keepWithNext() const { return m_keepWithNext; }
    ReportBand &setKeepWithNext(bool on)
    {
        m_keepWithNext = on;
        return *this;
    }

    // A label as wide as its text: at (x, y), one line high.
    ReportBand &label(const QString &name, qreal x, qreal y, const QString &text, const QFont &font);
    // A text in a box of its own; a text wider than the box ends in "…"
    // where it has to stop, so that it never runs into the next column.
    ReportBand &text(const QString &name, const QRectF &box, const QString &text, const QFont &font,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    // A right-aligned text ending at `right`, starting no further left than `left`.
    ReportBand &rightText(const QString &name, qreal left, qreal right, qreal y, const QString &text,
                          const QFont &font);
    // The number of the page (or the count of pages) the band lands on.
    ReportBand &pageField(const QString &name, const QRectF &box, Field field, const QFont &font,
                          Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    ReportBand &line(const QString &name, const QLineF &line, const QColor &colour = Qt::black);
    ReportBand &fill(const QString &name, const QRectF &rect, const QColor &colour);
    ReportBand &frame(const QString &name, const QRectF &rect, const QColor &colour = Qt::black);

    struct Entry
    {
        ReportItem item;
        Field field = Field::None;
    };
    const QList<Entry> &entries() const { return m_entries; }

    // One line of text in `font`, in 1/96 inch, measured as the pages lay it out.
    static qreal lineHeight(const QFont &font);
    static qreal textWidth(const QString &text, const QFont &font);
    // `text` as it fits `width` in `font`: whole, or cut at the end with "…".
    static QString elidedText(const QString &text, const QFont &font, qreal width);

private:
    ReportBand &add(ReportItem item, Field field = Field::None);

    QString m_name;
    qreal m_height = 0;
    bool m_newPageBefore = false;
    bool m_keepWithNext = false;
    QList<Entry> m_entries;
};
