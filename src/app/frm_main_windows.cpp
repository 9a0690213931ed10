// The document area: the plan windows, the loan calculator and the browser
// in it, where they stand (the size a window comes back to when restored,
// tiling and cascading) and what the document-area commands need of it.
#include "frm_main.h"

#include "auxwindows/BrowserLoader.h"
#include "loanwindow/frm_loan_calc.h"
#include "planwindow/frm_budget.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>
#include <QUrl>

namespace {

// `window` moved and, where it must be, shrunk to lie wholly inside `area`.
QRect insideArea(QRect window, const QRect &area)
{
    window.setSize(window.size().boundedTo(area.size()));
    window.moveLeft(qBound(area.left(), window.left(), area.right() + 1 - window.width()));
    window.moveTop(qBound(area.top(), window.top(), area.bottom() + 1 - window.height()));
    return window;
}

} // namespace

// Every document window goes in through here. Restored, it takes
// `restoredSize` (where the area has room for it) and never reaches past the
// document area, however large it was when it left it.
QMdiSubWindow *Tfrm_main::addDocumentWindow(QWidget *window, const QSize &restoredSize)
{
    QMdiSubWindow *sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Ctrl+W is File > Close (which asks about unsaved changes the same way);
    // the window's own menu keeps Ctrl+F4, so the key is not claimed twice.
    if (QMenu *own = sub->systemMenu()) {
        for (QAction *a : own->actions()) {
            QList<QKeySequence> keys = a->shortcuts();
            if (keys.removeAll(QKeySequence(QStringLiteral("Ctrl+W"))) > 0)
                a->setShortcuts(keys);
        }
    }
    connect(sub, &QObject::destroyed, this, &Tfrm_main::updateMenus, Qt::QueuedConnection);
    if (restoredSize.isValid())
        sub->setGeometry(insideArea(QRect(QPoint(0, 0), restoredSize), m_mdi->viewport()->rect()));
    connect(sub, &QMdiSubWindow::windowStateChanged, this, [this, sub](Qt::WindowStates, Qt::WindowStates now) {
        if (!(now & (Qt::WindowMaximized | Qt::WindowMinimized)))
            keepInsideArea(sub);
    });
    return sub;
}

void Tfrm_main::keepInsideArea(QMdiSubWindow *sub)
{
    const QRect inside = insideArea(sub->geometry(), m_mdi->viewport()->rect());
    if (inside != sub->geometry())
        sub->setGeometry(inside);
}

void Tfrm_main::tileHorizontally()
{
    tile(Qt::Vertical);
}

void Tfrm_main::tileVertically()
{
    tile(Qt::Horizontal);
}

// The open (not minimised) document windows side by side along `direction`:
// one above the other, each the full width, for Qt::Vertical; side by side,
// each the full height, for Qt::Horizontal.
void Tfrm_main::tile(Qt::Orientation direction)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized())
            windows << sub;
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows.at(i)->showNormal();
        if (direction == Qt::Vertical)
            windows.at(i)->setGeometry(0, i * (area.height() / n), area.width(), area.height() / n);
        else
            windows.at(i)->setGeometry(i * (area.width() / n), 0, area.width() / n, area.height());
    }
}

// The open (not minimised) document windows one over another, each a title
// bar lower and to the right of the one before, in the order they were
// opened and the active window last, on top: every title bar shows. They
// share one size, the area less the steps, but not less than half the area.
void Tfrm_main::cascade()
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized())
            windows << sub;
    if (windows.isEmpty())
        return;
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    if (windows.removeOne(active))
        windows << active;
    int step = 0;
    for (QMdiSubWindow *sub : std::as_const(windows)) {
        sub->showNormal();
        // The window's contents start below its title bar.
        step = qMax(step, sub->widget()->geometry().top() + 4);
    }
    const QRect area = m_mdi->viewport()->rect();
    const int steps = step * (static_cast<int>(windows.size()) - 1);
    const QSize size(qMax(area.width() - steps, area.width() / 2), qMax(area.height() - steps, area.height() / 2));
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *sub = windows.at(i);
        sub->setGeometry(QRect(area.topLeft() + QPoint(i * step, i * step), size));
        sub->raise();
    }
    if (active)
        m_mdi->setActiveSubWindow(active);
}

// --- the windows in the area ------------------------------------------------------------

int Tfrm_main::documentWindowCount() const
{
    return static_cast<int>(m_mdi->subWindowList().size());
}

QList<QMdiSubWindow *> Tfrm_main::documentWindows() const
{
    return m_mdi->subWindowList(QMdiArea::CreationOrder);
}

Tfrm_budget *Tfrm_main::activePlanWindow() const
{
    QMdiSubWindow *sub = m_mdi->activeSubWindow();
    return sub ? qobject_cast<Tfrm_budget *>(sub->widget()) : nullptr;
}

QList<Tfrm_budget *> Tfrm_main::planWindows() const
{
    QList<Tfrm_budget *> out;
    for (QMdiSubWindow *sub : documentWindows())
        if (auto *w = qobject_cast<Tfrm_budget *>(sub->widget()))
            out << w;
    return out;
}

Tfrm_loan_calc *Tfrm_main::loanCalculator() const
{
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        if (auto *calculator = qobject_cast<Tfrm_loan_calc *>(sub->widget()))
            return calculator;
    return nullptr;
}

Tfrm_budget *Tfrm_main::createPlanWindow()
{
    auto *window = new Tfrm_budget(this);
    m_undoGroup->addStack(window->history());
    QMdiSubWindow *sub = addDocumentWindow(window);
    sub->showMaximized();
    return window;
}

void Tfrm_main::bringForward(QMdiSubWindow *window)
{
    window->showMaximized();
    m_mdi->setActiveSubWindow(window);
}

void Tfrm_main::discardDocumentWindow(QWidget *document)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
        delete sub;
    updateMenus();
}

void Tfrm_main::subWindowActivated(QMdiSubWindow *window)
{
    if (window) {
        if (auto *plan = qobject_cast<Tfrm_budget *>(window->widget()))
            plan->activate();
        else if (BrowserWindow *web = browser(); web && window->widget() == web->browserWidget())
            web->activate();
    }
    updateMenus();
}

// --- the loan calculator and the browser ------------------------------------------------------

// One calculator at a time. It takes the active plan's totals at "Monthly"
// (the plan is switched there and back, so it shows what it showed); with no
// plan open it starts from zero figures.
void Tfrm_main::openLoanCalculator()
{
    // Asked for again, it comes forward.
    if (m_calculatorOpen) {
        for (QMdiSubWindow *sub : m_mdi->subWindowList())
            if (sub->widget() == loanCalculator()) {
                if (sub->isMinimized())
                    sub->showNormal();
                m_mdi->setActiveSubWindow(sub);
            }
        return;
    }
    Tfrm_loan_calc::MonthlyFigures figures;
    if (Tfrm_budget *plan = activePlanWindow()) {
        const int was = plan->displayFrequency();
        plan->setDisplayFrequency(3);
        const PlanTotals &totals = plan->totals();
        figures = {totals.balance, totals.expense, totals.income, totals.savings, totals.loans};
        plan->setDisplayFrequency(was);
    }
    m_calculatorOpen = true;
    auto *calculator = new Tfrm_loan_calc(figures, printer());
    hideMainButtons();
    QMdiSubWindow *sub = addDocumentWindow(calculator, QSize(1032, 740));
    connect(calculator, &Tfrm_loan_calc::closed, this, [this] {
        m_calculatorOpen = false;
        showMainButtons();
    });
    // Its File menu takes the place of the main window's while it is active
    // (updateMenus), where Alt+F and the keys reach it.
    calculator->menuBar()->hide();
    menuBar()->insertMenu(menuBar()->actions().constFirst(), calculator->fileMenu());
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

// The button bar gives its room to the document area at once, so that the
// window about to open is sized for the area it will have.
void Tfrm_main::hideMainButtons()
{
    m_buttonBar->hide();
    centralWidget()->layout()->activate();
}

// The button bar stays hidden while a calculator or a browser is open.
void Tfrm_main::showMainButtons()
{
    if (!m_calculatorOpen && !isBrowserOpen())
        m_buttonBar->show();
}

void Tfrm_main::openBrowser(const QUrl &start)
{
    if (isBrowserOpen())
        return;
    // The first browser loads the web engine with its plugin.
    QString error;
    BrowserWindow *window = BrowserLoader::create(m_resourceFolder, m_programFolder, start, error);
    if (!window) {
        MessageBox::error(this, QStringLiteral("The browser cannot be opened: %1").arg(error));
        return;
    }
    m_browser = window;
    m_browserWidget = window->browserWidget();
    hideMainButtons();
    QMdiSubWindow *sub = addDocumentWindow(window->browserWidget(), QSize(1008, 719));
    menuBar()->addMenu(window->fileMenu())->setVisible(false);
    window->whenClosed(this, [this] {
        m_browser = nullptr;
        showMainButtons();
    });
    sub->showMaximized();
    m_mdi->setActiveSubWindow(sub);
    updateMenus();
}

// A page of the help folder; a missing page opens the browser all the same.
void Tfrm_main::openHelp(const QString &page)
{
    if (isBrowserOpen())
        return;
    openBrowser(QUrl::fromLocalFile(QDir(m_resourceFolder).filePath(QStringLiteral("help/") + page)));
}
