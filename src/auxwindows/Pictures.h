#pragma once
#include <QIcon>

class QPainter;
class QRect;
class QRectF;

// The program's pictures, drawn in code: the purse of the program icon, the
// frames of the splash screen and the about box's searching computer.
namespace Pictures {

// A purse with its clasp and a coin, scaled to fit the rectangle.
void purse(QPainter &painter, const QRectF &area);
QIcon programIcon();

// Coins dropping into the purse under the program's name.
inline constexpr int splashFrameCount = 24;
inline constexpr int splashFrameMilliseconds = 70;
void splashFrame(QPainter &painter, const QRect &area, int frame);

// A magnifying glass going round over a computer screen.
inline constexpr int searchFrameCount = 16;
inline constexpr int searchFrameMilliseconds = 90;
void searchingComputer(QPainter &painter, const QRect &area, int frame);

} // namespace Pictures
