#pragma once
#include <QColor>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QString>

// A report laid out into pages of positioned items, ready to be painted on a
// printer, a print preview or a PDF file. Every position is in units of 1/96
// inch from the top-left corner of the printable area (inside the margins).

struct ReportItem
{
    enum class Kind {
        Text, // `text` in `font`, aligned by `alignment` inside `rect`
        Line, // from rect.topLeft() to rect.bottomRight(), one unit wide
        Fill, // `rect` filled with `colour`
        Frame // the outline of `rect`, one unit wide
    };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QColor colour = Qt::black;
    QString name; // the band or label it comes from, e.g. "QRLinctotal"
};

// Where one band was put on its page.
struct PlacedBand
{
    QString name;
    QRectF rect;
};

struct ReportPage
{
    QList<ReportItem> items;
    QList<PlacedBand> bands; // in the order they were placed

    // The first item of that name, or nullptr.
    const ReportItem *item(const QString &name) const;
    // Every item of that name, top to bottom.
    QList<const ReportItem *> itemsNamed(const QString &name) const;
};

struct ReportLayout
{
    QPageLayout pageLayout; // US Letter, portrait, 12.7 mm margins
    QList<ReportPage> pages;
    QString title;

    // US Letter, portrait, margins of 12.7 mm (half an inch) on every side.
    static QPageLayout letterPortrait();
    // The printable area of letterPortrait() in 1/96 inch: 720 by 960.
    static constexpr qreal kPrintableWidth = 720;
    static constexpr qreal kPrintableHeight = 960;
};
