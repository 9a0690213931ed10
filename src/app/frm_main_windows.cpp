// Where the document windows stand in the document area: the size a window
// comes back to when restored, tiling and cascading.
#include "frm_main.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

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
