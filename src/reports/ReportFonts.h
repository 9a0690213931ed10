#pragma once
#include <QFont>

// The faces of the printed reports: Arial (Liberation Sans where Arial itself
// is not installed, the same widths), 10 points unless said otherwise.
namespace ReportFonts {

inline QFont normal(int points = 10)
{
    QFont font(QStringLiteral("Arial"), points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

inline QFont bold(int points = 10)
{
    QFont font = normal(points);
    font.setBold(true);
    return font;
}

// The plan report's title: bold italic, 12 points.
inline QFont title()
{
    QFont font = bold(12);
    font.setItalic(true);
    return font;
}

} // namespace ReportFonts
