#include "StatusPanel.h"

#include <QPainter>
#include <QStyle>

StatusPanel::StatusPanel(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

QString StatusPanel::shownText() const
{
    const QString whole = text();
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width() - 2 * margin() - 4;
    if (metrics.horizontalAdvance(whole) <= room)
        return whole;
    const qsizetype colon = whole.lastIndexOf(QLatin1String(": "));
    const QString amount = colon >= 0 ? whole.mid(colon + 2) : whole;
    return metrics.elidedText(amount, Qt::ElideRight, qMax(0, room));
}

void StatusPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}
