#include "ReportBand.h"

#include <QFontMetricsF>
#include <QImage>

namespace {
// Text is measured on a device of 96 dots per inch, the unit of the layout,
// whatever the screen in use (or none) says.
const QPaintDevice *measuringDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int dotsPerMetre = qRound(96 / 0.0254);
        i.setDotsPerMeterX(dotsPerMetre);
        i.setDotsPerMeterY(dotsPerMetre);
        return i;
    }();
    return &image;
}
} // namespace

qreal ReportBand::lineHeight(const QFont &font)
{
    return QFontMetricsF(font, measuringDevice()).height();
}

qreal ReportBand::textWidth(const QString &text, const QFont &font)
{
    return QFontMetricsF(font, measuringDevice()).horizontalAdvance(text);
}

QString ReportBand::elidedText(const QString &text, const QFont &font, qreal width)
{
    const QFontMetricsF metrics(font, measuringDevice());
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    return metrics.elidedText(text, Qt::ElideRight, qMax<qreal>(0, width));
}

ReportBand &ReportBand::add(ReportItem item, Field field)
{
    m_entries.append({std::move(item), field});
    return *this;
}

ReportBand &ReportBand::label(const QString &name, qreal x, qreal y, const QString &text, const QFont &font)
{
    // A little room on the right so that rounding on the device never cuts
    // the last letter.
    const QRectF box(x, y, textWidth(text, font) + 2, lineHeight(font));
    return this->text(name, box, text, font);
}

ReportBand &ReportBand::text(const QString &name, const QRectF &box, const QString &text, const QFont &font,
                             Qt::Alignment alignment)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.rect = box;
    item.text = elidedText(text, font, box.width());
    item.font = font;
    item.alignment = alignment;
    item.name = name;
    return add(std::move(item));
}

ReportBand &ReportBand::rightText(const QString &name, qreal left, qreal right, qreal y, const QString &text,
                                  const QFont &font)
{
    return this->text(name, QRectF(left, y, right - left, lineHeight(font)), text, font, Qt::AlignRight | Qt::AlignTop);
}

ReportBand &ReportBand::pageField(const QString &name, const QRectF &box, Field field, const QFont &font,
                                  Qt::Alignment alignment)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.rect = box;
    item.font = font;
    item.alignment = alignment;
    item.name = name;
    return add(std::move(item), field);
}

namespace {
ReportItem shapeItem(ReportItem::Kind kind, const QString &name, const QRectF &rect, const QColor &colour)
{
    ReportItem item;
    item.kind = kind;
    item.rect = rect;
    item.colour = colour;
    item.name = name;
    return item;
}
} // namespace

ReportBand &ReportBand::line(const QString &name, const QLineF &line, const QColor &colour)
{
    return add(shapeItem(ReportItem::Kind::Line, name, QRectF(line.p1(), line.p2()), colour));
}

ReportBand &ReportBand::fill(const QString &name, const QRectF &rect, const QColor &colour)
{
    return add(shapeItem(ReportItem::Kind::Fill, name, rect, colour));
}

ReportBand &ReportBand::frame(const QString &name, const QRectF &rect, const QColor &colour)
{
    return add(shapeItem(ReportItem::Kind::Frame, name, rect, colour));
}
