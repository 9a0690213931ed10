#pragma once
#include <QColor>

class QWidget;

// Where the program paints a background of its own (the plan window's green,
// the due-reminders bar's yellow), the text on it must read whatever the
// desktop's theme: a dark theme's white text on light green is all but
// invisible. These give such widgets text of a colour chosen for the fixed
// background, at least 4.5:1 against it (the WCAG minimum for body text).
namespace FixedColours {

// The WCAG contrast ratio of two colours, 1 (same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// Black or white, whichever reads better on `background`.
QColor readableOn(const QColor &background);

// Gives `widget` and the children that take their colours from it text that
// reads on `background`: labels, group captions, radio and check boxes and
// flat tool buttons. Buttons with a face of their own, text boxes and grids
// keep the theme's colours. With `fill` the widget also paints `background`.
void textOn(QWidget *widget, const QColor &background, bool fill = false);

} // namespace FixedColours
