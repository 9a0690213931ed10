#include "ReportPainter.h"

#include "plan/FileWriter.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace ReportPainter {

namespace {

// The painter is scaled to 1/96 inch, so a font given in points is shrunk by
// the same factor that the scale enlarges it with.
QFont deviceFont(const QFont &font, qreal dpi)
{
    QFont f = font;
    if (font.pointSizeF() > 0)
        f.setPointSizeF(font.pointSizeF() * 96.0 / dpi);
    return f;
}

void paintItem(QPainter &painter, const ReportItem &item, qreal dpi)
{
    switch (item.kind) {
    case ReportItem::Kind::Text:
        painter.setPen(item.colour);
        painter.setFont(deviceFont(item.font, dpi));
        painter.drawText(item.rect, int(item.alignment) | Qt::TextSingleLine, item.text);
        break;
    case ReportItem::Kind::Line:
        painter.setPen(QPen(item.colour, 1));
        painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
        break;
    case ReportItem::Kind::Fill: painter.fillRect(item.rect, item.colour); break;
    case ReportItem::Kind::Frame:
        painter.setPen(QPen(item.colour, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(item.rect);
        break;
    }
}

} // namespace

bool paint(const ReportLayout &layout, QPagedPaintDevice *device, const std::function<bool(int, int)> &progress)
{
    QPainter painter;
    if (!device || !painter.begin(device))
        return false;
    const qreal dpiX = device->logicalDpiX();
    const qreal dpiY = device->logicalDpiY();
    const int count = static_cast<int>(layout.pages.size());
    for (int p = 0; p < count; ++p) {
        if (p > 0 && !device->newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(dpiX / 96.0, dpiY / 96.0);
        for (const ReportItem &item : layout.pages.at(p).items)
            paintItem(painter, item, dpiY);
        painter.restore();
        if (progress && !progress(p + 1, count)) {
            painter.end();
            return false;
        }
    }
    return painter.end();
}

QByteArray pdfBytes(const ReportLayout &layout)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout.pageLayout);
        writer.setTitle(layout.title);
        writer.setCreator(QStringLiteral("Kavo Pursekeep"));
        if (!paint(layout, &writer))
            return {};
    }
    return buffer.data();
}

void writePdf(const ReportLayout &layout, const QString &path)
{
    const QByteArray bytes = pdfBytes(layout);
    if (bytes.isEmpty())
        throw FileWriteError(path, QStringLiteral("The report could not be drawn for \"%1\"").arg(path));
    FileWriter::writeFile(path, bytes);
}

} // namespace ReportPainter
