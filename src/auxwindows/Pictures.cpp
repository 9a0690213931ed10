#include "auxwindows/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace Pictures {

namespace {

const QColor leather(139, 90, 43);
const QColor leatherDark(96, 58, 24);
const QColor gold(222, 170, 30);
const QColor goldDark(160, 115, 10);

void coin(QPainter &painter, const QPointF &centre, qreal radius)
{
    painter.setPen(QPen(goldDark, qMax<qreal>(1.0, radius / 6)));
    painter.setBrush(gold);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(goldDark, qMax<qreal>(0.8, radius / 10)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius * 0.62, radius * 0.62);
}

} // namespace

void purse(QPainter &painter, const QRectF &area)
{
    const qreal side = qMin(area.width(), area.height());
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    // The body: wider at the bottom, rounded.
    const QRectF body(box.left() + side * 0.06, box.top() + side * 0.34, side * 0.88, side * 0.6);
    QPainterPath bag;
    bag.moveTo(body.left() + body.width() * 0.12, body.top());
    bag.lineTo(body.right() - body.width() * 0.12, body.top());
    bag.quadTo(body.right(), body.top() + body.height() * 0.35, body.right(), body.bottom() - side * 0.1);
    bag.quadTo(body.right(), body.bottom(), body.right() - side * 0.1, body.bottom());
    bag.lineTo(body.left() + side * 0.1, body.bottom());
    bag.quadTo(body.left(), body.bottom(), body.left(), body.bottom() - side * 0.1);
    bag.quadTo(body.left(), body.top() + body.height() * 0.35, body.left() + body.width() * 0.12, body.top());
    QLinearGradient shade(body.topLeft(), body.bottomRight());
    shade.setColorAt(0, leather.lighter(125));
    shade.setColorAt(1, leatherDark);
    painter.setPen(QPen(leatherDark, qMax<qreal>(1.0, side / 32)));
    painter.setBrush(shade);
    painter.drawPath(bag);

    // The clasp: a metal frame and two balls that meet at the top.
    const qreal ball = side * 0.075;
    painter.setPen(QPen(goldDark, qMax<qreal>(1.0, side / 24)));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(body.left() + body.width() * 0.12, body.top()),
                     QPointF(body.right() - body.width() * 0.12, body.top()));
    painter.setPen(QPen(goldDark, qMax<qreal>(0.8, side / 40)));
    painter.setBrush(gold);
    painter.drawEllipse(QPointF(box.center().x() - ball, body.top() - ball * 0.9), ball, ball);
    painter.drawEllipse(QPointF(box.center().x() + ball, body.top() - ball * 0.9), ball, ball);

    // A coin on the front.
    coin(painter, QPointF(box.center().x(), body.top() + body.height() * 0.55), side * 0.16);
    painter.restore();
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        purse(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void splashFrame(QPainter &painter, const QRect &area, int frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(28, 92, 74));
    sky.setColorAt(1, QColor(12, 48, 38));
    painter.fillRect(area, sky);

    // The purse at the left, with a coin on its way down into it and another
    // half a cycle behind.
    const QRectF purseArea(area.left() + area.width() * 0.06, area.top() + area.height() * 0.34, area.height() * 0.58,
                           area.height() * 0.58);
    const qreal mouth = purseArea.top() + purseArea.height() * 0.3;
    const qreal start = area.top() - area.height() * 0.1;
    for (int offset : {0, splashFrameCount / 2}) {
        const qreal t = qreal((frame + offset) % splashFrameCount) / splashFrameCount;
        const qreal y = start + (mouth - start) * t * t;
        coin(painter, QPointF(purseArea.center().x(), y), area.height() * 0.06);
    }
    purse(painter, purseArea);

    // The name and version on the right.
    const QRectF textArea(purseArea.right() + area.width() * 0.04, area.top() + area.height() * 0.2,
                          area.right() - purseArea.right() - area.width() * 0.06, area.height() * 0.6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(10, area.height() / 8));
    painter.setFont(font);
    painter.setPen(QColor(250, 240, 210));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QStringLiteral("Kavo\nPursekeep"));
    font.setBold(false);
    font.setPixelSize(qMax(8, area.height() / 15));
    painter.setFont(font);
    painter.setPen(gold);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                     QStringLiteral("Version 3\nPlan your household budget"));

    // A row of dots that fills while the program starts.
    const int dots = 8;
    const qreal dotY = area.bottom() - area.height() * 0.08;
    for (int i = 0; i < dots; ++i) {
        const bool lit = i <= frame * dots / splashFrameCount;
        painter.setPen(Qt::NoPen);
        painter.setBrush(lit ? gold : QColor(60, 110, 95));
        painter.drawEllipse(QPointF(textArea.left() + 4 + i * 12, dotY), 3, 3);
    }
    painter.restore();
}

void searchingComputer(QPainter &painter, const QRect &area, int frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(area.width(), area.height());
    const QRectF box(area.center().x() - side / 2, area.center().y() - side / 2, side, side);

    // The computer: a screen with two lines of text on it, on a stand.
    const QRectF screen(box.left() + side * 0.08, box.top() + side * 0.1, side * 0.84, side * 0.58);
    painter.setPen(QPen(QColor(70, 70, 70), qMax<qreal>(1.0, side / 30)));
    painter.setBrush(QColor(200, 200, 196));
    painter.drawRoundedRect(screen, side * 0.05, side * 0.05);
    const QRectF glass = screen.adjusted(side * 0.07, side * 0.07, -side * 0.07, -side * 0.07);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 60, 130));
    painter.drawRect(glass);
    painter.setBrush(QColor(140, 190, 240));
    for (int line = 0; line < 3; ++line)
        painter.drawRect(QRectF(glass.left() + side * 0.05, glass.top() + side * (0.06 + line * 0.12),
                                glass.width() * (line == 1 ? 0.5 : 0.75), side * 0.05));
    painter.setBrush(QColor(150, 150, 146));
    painter.drawRect(QRectF(box.center().x() - side * 0.06, screen.bottom(), side * 0.12, side * 0.1));
    painter.drawRoundedRect(QRectF(box.left() + side * 0.25, screen.bottom() + side * 0.1, side * 0.5, side * 0.07),
                            side * 0.02, side * 0.02);

    // The magnifying glass going round over the screen.
    const qreal angle = 2 * M_PI * frame / searchFrameCount;
    const QPointF lens(glass.center().x() + glass.width() * 0.28 * qCos(angle),
                       glass.center().y() + glass.height() * 0.22 * qSin(angle));
    const qreal radius = side * 0.13;
    painter.setPen(QPen(QColor(90, 60, 20), side * 0.07, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(lens + QPointF(radius * 0.7, radius * 0.7), lens + QPointF(radius * 1.8, radius * 1.8));
    painter.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1.0, side / 22)));
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(lens, radius, radius);
    painter.restore();
}

} // namespace Pictures
