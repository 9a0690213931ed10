#pragma once
#include <QString>

class QTableView;

// The widths of the program's grid columns, as laid out for an 8-point font
// and widened where the font in use needs more.
namespace GridColumns {

// A column's width in characters of the grid's font.
void setColumnChars(QTableView *grid, int column, int characters);
// A column `pixels` wide as laid out for an 8-point font, widened where the
// font the grid really uses needs more for the header's text or for
// `sample`, the widest content the column shows.
void setColumnPixels(QTableView *grid, int column, int pixels, const QString &sample = QString());
// What the header's text and a sample of content need in the grid's font.
int headerWidth(QTableView *grid, int column);
int cellWidth(QTableView *grid, const QString &sample);
// The screen width W and A = W div 22 + W div 2 the column widths are taken from.
int screenWidth();
int widthBase();

} // namespace GridColumns
