#pragma once
#include "plan/ChartBars.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMargins>
#include <QWidget>
#include <utility>

class Tfrm_budget;
class RadioGroup;
class QChart;
class QChartView;
class QGraphicsItem;
class QGraphicsSimpleTextItem;
class QMenu;
class QPrinter;
class QStackedBarSeries;

// The "Charts" page: one bar chart of the plan at a time, chosen in rg_graph
// (income categories, expense categories, savings goals, loans or a summary
// of the totals). Rebuilt when the page is shown and on a choice, never while
// it stays shown. Its context menu prints the chart.
class ChartsPage : public QWidget
{
    Q_OBJECT
public:
    explicit ChartsPage(Tfrm_budget *window);

    // The page became the current one: the chart is drawn afresh.
    void pageShown();
    void rebuild();

    QChart *chart() const { return m_chart; }
    QChartView *chartView() const { return m_view; }
    QStackedBarSeries *series() const { return m_series; }
    QMenu *popupMenu() const { return m_menu; }
    // The bars drawn and the marks above them ("0", "1", ...).
    const QList<ChartBars::Bar> &bars() const { return m_bars; }
    QStringList markTexts() const;
    // The legend's texts, one for each bar in order. The legend stands right
    // of the plot in as many columns as the height needs, its letters made
    // smaller (down to 7 points) before it takes more than two fifths of the
    // chart's width; the plot gives up the room it takes.
    const QList<QGraphicsSimpleTextItem *> &legendLabels() const { return m_legendLabels; }

    // `count` bar colours, as far apart as can be told and each dark enough
    // to stand out on `background` (a contrast of at least 3 to 1, even at the
    // lighter edge of the bar's shading). The first is the bar's colour, the
    // second the lighter edge of its shading.
    static QList<std::pair<QColor, QColor>> barColours(qsizetype count, const QColor &background);
    // The contrast ratio of two colours, from 1 (the same lightness) to 21.
    static double contrast(const QColor &a, const QColor &b);

    // Prints the chart as it is drawn on one page of `printer`, stretched into
    // the page less 15 % of its width and height on every side. False, after
    // saying why, when the printer cannot be drawn on.
    bool printChart(QPrinter *printer);

private:
    void placeMarks();
    void placeLegend();
    void PrintColor1Click();

    Tfrm_budget *m_window;
    RadioGroup *m_choice = nullptr;
    QChartView *m_view = nullptr;
    QChart *m_chart = nullptr;
    QStackedBarSeries *m_series = nullptr;
    QMenu *m_menu = nullptr;
    QList<ChartBars::Bar> m_bars;
    QList<QGraphicsItem *> m_marks;
    QList<QGraphicsItem *> m_legendItems;
    QList<QGraphicsSimpleTextItem *> m_legendLabels;
    QFont m_legendFont;
    QMargins m_margins; // the chart's own, around the plot and the legend
};
