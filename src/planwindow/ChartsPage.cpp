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
#include <cmath>

namespace {
constexpr int kMarkArrow = 20; // the line from a bar's end up to its mark
}

ChartsPage::ChartsPage(Tfrm_budget *window) : QWidget(window), m_window(window)
{
    setObjectName(QStringLiteral("ts_charts"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_choice = new RadioGroup(QStringLiteral("rg_graph"), QString(),
                              {"Income Categories", "Expense Categories", "Savings Items", "Loans", "Summary"}, 5,
                              this);
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
    QFont legendFont(QStringLiteral("Arial"));
    legendFont.setBold(true);
    m_chart->legend()->setFont(legendFont);
    m_chart->legend()->setLabelColor(Qt::black);
    m_chart->legend()->setAlignment(Qt::AlignRight);

    m_series = new QStackedBarSeries;
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setBarWidth(0.8);
    m_chart->addSeries(m_series);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chartview"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_view, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("BcBarPopupCharts"));
    m_menu->setSeparatorsCollapsible(false);
    m_menu->addSection(QStringLiteral("Charts"));
    QAction *print = m_menu->addAction(QStringLiteral("Print"));
    print->setObjectName(QStringLiteral("PrintColor1"));
    QAction *setup = m_menu->addAction(QStringLiteral("Printer Setup"));
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
    // The theme's colour of each set, as a gradient across the bar.
    for (QBarSet *set : m_series->barSets()) {
        const QColor colour = set->color();
        QLinearGradient fill(0, 0, 1, 0);
        fill.setCoordinateMode(QGradient::ObjectBoundingMode);
        fill.setColorAt(0, colour.lighter(150));
        fill.setColorAt(1, colour);
        set->setBrush(fill);
        set->setBorderColor(colour.darker(130));
    }

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
        m_chart->addAxis(axis, side);
        m_series->attachAxis(axis);
    }
    placeMarks();
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
