#include "ChartsPage.h"
#include "PlanHost.h"
#include "frm_budget.h"

#include "plan/Plan.h"
#include "widgets/MessageBox.h"
#include "widgets/RadioGroup.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QFontMetricsF>
#include <QLocale>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kMarkArrow = 20; // the line from a bar's end up to its mark

// A colour given in CIE L*a*b* (daylight white), or false when sRGB cannot
// show it.
bool fromLab(double l, double a, double b, QColor *out)
{
    const double fy = (l + 16) / 116;
    const auto inverse = [](double t) {
        constexpr double d = 6.0 / 29;
        return t > d ? t * t * t : 3 * d * d * (t - 4.0 / 29);
    };
    const double x = 0.95047 * inverse(fy + a / 500);
    const double y = inverse(fy);
    const double z = 1.08883 * inverse(fy - b / 200);
    const double linear[3] = {3.2406 * x - 1.5372 * y - 0.4986 * z, -0.9689 * x + 1.8758 * y + 0.0415 * z,
                              0.0557 * x - 0.2040 * y + 1.0570 * z};
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        if (linear[i] < -0.001 || linear[i] > 1.001)
            return false;
        const double c = std::clamp(linear[i], 0.0, 1.0);
        const double gamma = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        rgb[i] = static_cast<int>(std::lround(gamma * 255));
    }
    *out = QColor(rgb[0], rgb[1], rgb[2]);
    return true;
}

// Lightness `l` at hue `hue` (degrees), with as much of `chroma` as sRGB can
// show there.
QColor fromLch(double l, double chroma, double hue)
{
    const double angle = qDegreesToRadians(hue);
    QColor colour;
    for (double c = chroma; c > 0; c -= 2)
        if (fromLab(l, c * std::cos(angle), c * std::sin(angle), &colour))
            return colour;
    fromLab(l, 0, 0, &colour);
    return colour;
}

double luminance(const QColor &colour)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// The decimals the value axes need for their step: none for whole steps, at
// most three as the legend writes.
int decimalsFor(double step)
{
    int decimals = 0;
    while (decimals < 3 && std::fabs(step - std::round(step)) > 1e-9 * std::max(1.0, std::fabs(step))) {
        step *= 10;
        ++decimals;
    }
    return decimals;
}
} // namespace

double ChartsPage::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<std::pair<QColor, QColor>> ChartsPage::barColours(qsizetype count, const QColor &background)
{
    // Hues evenly round the circle at one lightness and chroma, so that no
    // two look alike; with more than eight bars every other one is a step
    // darker, so that neighbouring hues differ in lightness too. Each is made
    // darker still until its lighter edge stands out on the background.
    QList<std::pair<QColor, QColor>> colours;
    for (qsizetype i = 0; i < count; ++i) {
        const double hue = 30 + 360.0 * double(i) / double(count);
        double lightness = count > 8 && i % 2 ? 40 : 54;
        QColor colour = fromLch(lightness, 60, hue);
        QColor edge = fromLch(lightness + 8, 60, hue);
        while (contrast(edge, background) < 3 && lightness > 10) {
            lightness -= 2;
            colour = fromLch(lightness, 60, hue);
            edge = fromLch(lightness + 8, 60, hue);
        }
        colours.append({colour, edge});
    }
    return colours;
}

ChartsPage::ChartsPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("ts_charts"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_choice =
        new RadioGroup(QStringLiteral("rg_graph"), QString(),
                       {"Income Categories", "Expense Categories", "Savings Items", "Loans", "Summary"}, 5, this);
    m_choice->setMinimumHeight(57);
    m_choice->setItemIndex(4);
    layout->addWidget(m_choice);

    m_chart = new QChart;
    m_chart->setObjectName(QStringLiteral("chart"));
    m_chart->setTitle(QStringLiteral("Pursekeep Summary Chart By Category"));
    QFont titleFont = m_chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 2);
    m_chart->setTitleFont(titleFont);
    QLinearGradient background(0, 0, 0, 1);
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0, QColor(128, 128, 192));
    background.setColorAt(1, Qt::white);
    m_chart->setBackgroundBrush(background);
    // The walls behind the bars: white and plain.
    m_chart->setPlotAreaBackgroundBrush(Qt::white);
    m_chart->setPlotAreaBackgroundVisible(true);
    // The chart's own legend keeps one column and drops what does not fit;
    // the page draws its own (placeLegend()).
    m_legendFont = QFont(QStringLiteral("Arial"));
    m_legendFont.setBold(true);
    m_chart->legend()->setVisible(false);
    m_margins = m_chart->margins();
    // The value axes write their numbers as the legend does, in the
    // program's locale (taken afresh on every rebuild).
    m_chart->setLocalizeNumbers(true);

    m_series = new QStackedBarSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setBarWidth(0.8);
    m_chart->addSeries(m_series);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chartview"));
    m_view->setAccessibleName(QStringLiteral("Chart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_view, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("BcBarPopupCharts"));
    m_menu->setSeparatorsCollapsible(false);
    m_menu->addSection(QStringLiteral("Charts"));
    QAction *print = m_menu->addAction(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("PrintColor1"));
    QAction *setup = m_menu->addAction(QStringLiteral("Printer Se&tup"));
    setup->setObjectName(QStringLiteral("PrinterSetup1"));
    connect(print, &QAction::triggered, this, &ChartsPage::PrintColor1Click);
    connect(setup, &QAction::triggered, this, [this] {
        if (PlanHost *host = m_window->host())
            host->printerSetup();
    });
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_view->viewport()->mapToGlobal(pos)); });

    connect(m_choice, &RadioGroup::clicked, this, &ChartsPage::rebuild);
    connect(m_chart, &QChart::plotAreaChanged, this, &ChartsPage::placeMarks);
    connect(m_chart, &QGraphicsWidget::geometryChanged, this, &ChartsPage::placeLegend);
}

void ChartsPage::pageShown()
{
    rebuild();
}

void ChartsPage::rebuild()
{
    const auto choice = static_cast<ChartBars::Choice>(qMax(0, m_choice->itemIndex()));
    m_bars = ChartBars::bars(m_window->plan(), choice, m_window->totals());

    m_series->clear();
    for (QAbstractAxis *axis : m_chart->axes())
        m_chart->removeAxis(axis);
    QStringList labels;
    const qsizetype n = m_bars.size();
    double low = 0;
    double high = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const ChartBars::Bar &bar = m_bars.at(i);
        // One set per bar: its own colour and its own legend entry; stacked,
        // the set holds its value at its own place and nothing elsewhere.
        auto *set = new QBarSet(ChartBars::legendNumber(bar.value) + QLatin1Char(' ') + bar.label);
        for (qsizetype j = 0; j < n; ++j)
            set->append(j == i ? bar.value : 0.0);
        m_series->append(set);
        labels << bar.label;
        low = qMin(low, bar.value);
        high = qMax(high, bar.value);
    }
    // Each set's own colour, as a gradient across the bar from its lighter
    // edge.
    const QList<QBarSet *> sets = m_series->barSets();
    const auto colours = barColours(sets.size(), m_chart->plotAreaBackgroundBrush().color());
    for (qsizetype i = 0; i < sets.size(); ++i) {
        const auto &[colour, edge] = colours.at(i);
        QLinearGradient fill(0, 0, 1, 0);
        fill.setCoordinateMode(QGradient::ObjectBoundingMode);
        fill.setColorAt(0, edge);
        fill.setColorAt(1, colour);
        sets.at(i)->setBrush(fill);
        sets.at(i)->setBorderColor(colour.darker(130));
    }
    m_chart->setLocale(QLocale());

    // Axes on all four sides.
    for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignTop}) {
        auto *axis = new QBarCategoryAxis;
        axis->append(labels.isEmpty() ? QStringList{QString()} : labels);
        m_chart->addAxis(axis, side);
        m_series->attachAxis(axis);
    }
    if (high == low)
        high = low + 1;
    for (Qt::Alignment side : {Qt::AlignLeft, Qt::AlignRight}) {
        auto *axis = new QValueAxis;
        axis->setRange(low, high + (high - low) * 0.12); // room for the marks
        axis->applyNiceNumbers();
        const double step = (axis->max() - axis->min()) / qMax(1, axis->tickCount() - 1);
        axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimalsFor(step)));
        m_chart->addAxis(axis, side);
        m_series->attachAxis(axis);
    }
    placeLegend();
    placeMarks();
}

void ChartsPage::placeLegend()
{
    qDeleteAll(m_legendItems);
    m_legendItems.clear();
    m_legendLabels.clear();
    const QList<QBarSet *> sets = m_series->barSets();
    if (sets.isEmpty()) {
        m_chart->setMargins(m_margins);
        return;
    }
    const QSizeF size = m_chart->size();
    const qreal top = m_margins.top() + QFontMetricsF(m_chart->titleFont()).height() + 8;
    const qreal height = size.height() - m_margins.bottom() - top;
    const int count = static_cast<int>(sets.size());
    QFont font = m_legendFont;
    int columns = 1;
    qreal entryHeight = 0;
    qreal box = 0;
    qreal columnWidth = 0;
    for (;;) {
        const QFontMetricsF metrics(font);
        entryHeight = metrics.height() + 4;
        box = std::round(metrics.height() * 0.8);
        qreal widest = 0;
        for (const QBarSet *set : sets)
            widest = qMax(widest, metrics.horizontalAdvance(set->label()));
        columnWidth = std::ceil(box + 6 + widest + 12);
        const int rows = qMax(1, static_cast<int>(height / entryHeight));
        columns = (count + rows - 1) / rows;
        if (columns * columnWidth <= size.width() * 0.4 || font.pointSizeF() <= 7)
            break;
        font.setPointSizeF(qMax(7.0, font.pointSizeF() - 1));
    }
    const int rows = (count + columns - 1) / columns; // the columns filled evenly
    const qreal width = columns * columnWidth;
    m_chart->setMargins(
        QMargins(m_margins.left(), m_margins.top(), m_margins.right() + static_cast<int>(width), m_margins.bottom()));
    const qreal left = size.width() - m_margins.right() - width;
    for (int i = 0; i < count; ++i) {
        QBarSet *set = sets.at(i);
        const qreal x = left + (i / rows) * columnWidth;
        const qreal y = top + (i % rows) * entryHeight;
        auto *marker = new QGraphicsRectItem(x, y + (entryHeight - box) / 2, box, box, m_chart);
        marker->setBrush(set->brush());
        marker->setPen(QPen(set->borderColor()));
        auto *label = new QGraphicsSimpleTextItem(set->label(), m_chart);
        label->setFont(font);
        label->setBrush(Qt::black);
        label->setPos(x + box + 6, y + 2);
        m_legendItems << marker << label;
        m_legendLabels << label;
    }
}

QStringList ChartsPage::markTexts() const
{
    QStringList out;
    for (QGraphicsItem *item : m_marks)
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            out << text->text();
    return out;
}

// A mark over every bar with its place in the row, on a short line from the
// bar's end.
void ChartsPage::placeMarks()
{
    qDeleteAll(m_marks);
    m_marks.clear();
    for (qsizetype i = 0; i < m_bars.size(); ++i) {
        const double value = m_bars.at(i).value;
        const QPointF end = m_chart->mapToPosition(QPointF(double(i), value), m_series);
        const double direction = value < 0 ? 1 : -1;
        auto *line = new QGraphicsLineItem(QLineF(end, end + QPointF(0, direction * kMarkArrow)), m_chart);
        line->setPen(QPen(Qt::black));
        auto *text = new QGraphicsSimpleTextItem(QString::number(i), m_chart);
        QRectF box = text->boundingRect();
        const QPointF tip = end + QPointF(0, direction * kMarkArrow);
        box.moveCenter(tip + QPointF(0, direction * (box.height() / 2 + 2)));
        text->setPos(box.topLeft());
        auto *back = new QGraphicsRectItem(box.adjusted(-3, -1, 3, 1), m_chart);
        back->setBrush(QColor(255, 255, 225));
        back->setPen(QPen(Qt::black));
        back->setZValue(10);
        text->setZValue(11);
        line->setZValue(10);
        m_marks << line << back << text;
    }
}

bool ChartsPage::printChart(QPrinter *printer)
{
    printer->setDocName(QStringLiteral("chart"));
    // Measured on the whole sheet, whatever margins the printer keeps for
    // other prints.
    const bool wasFullPage = printer->fullPage();
    printer->setFullPage(true);
    const auto restore = qScopeGuard([printer, wasFullPage] { printer->setFullPage(wasFullPage); });
    const QRect page(QPoint(0, 0), QSize(printer->width(), printer->height()));
    const int dx = static_cast<int>(std::lround(page.width() * 0.15));
    const int dy = static_cast<int>(std::lround(page.height() * 0.15));
    const QRect target(page.left() + dx, page.top() + dy, page.width() - 2 * dx, page.height() - 2 * dy);
    QPainter painter;
    if (!painter.begin(printer)) {
        MessageBox::error(this, QStringLiteral("The chart cannot be printed: the printer cannot be used"));
        return false;
    }
    m_view->render(&painter, target, m_view->viewport()->rect(), Qt::IgnoreAspectRatio);
    return painter.end();
}

void ChartsPage::PrintColor1Click()
{
    if (PlanHost *host = m_window->host(); host && host->printer())
        printChart(host->printer());
}
