#include "FixedColours.h"

#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

double channel(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double FixedColours::contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor FixedColours::readableOn(const QColor &background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

void FixedColours::textOn(QWidget *widget, const QColor &background, bool fill)
{
    const QColor text = readableOn(background);
    // Greyed text stays legible but is plainly not the text of an enabled control.
    QColor greyed = text;
    greyed.setAlphaF(0.55);
    QPalette colours = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) {
        colours.setColor(QPalette::Active, role, text);
        colours.setColor(QPalette::Inactive, role, text);
        colours.setColor(QPalette::Disabled, role, greyed);
    }
    // A flat tool button under the mouse shows a face of the button colour
    // behind its caption: a shade of the background keeps the caption legible.
    colours.setColor(QPalette::Button, background);
    if (fill) {
        colours.setColor(QPalette::Window, background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(colours);
}
