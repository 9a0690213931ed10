#include "OnScreenHints.h"

#include <QCoreApplication>
#include <QEvent>
#include <QToolTip>

namespace {
bool g_enabled = false;
OnScreenHints *g_filter = nullptr;
} // namespace

void OnScreenHints::install()
{
    if (g_filter || !QCoreApplication::instance())
        return;
    g_filter = new OnScreenHints(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(g_filter);
}

void OnScreenHints::setEnabled(bool on)
{
    g_enabled = on;
    if (!on)
        QToolTip::hideText();
}

bool OnScreenHints::enabled()
{
    return g_enabled;
}

bool OnScreenHints::eventFilter(QObject *watched, QEvent *event)
{
    if (!g_enabled && event->type() == QEvent::ToolTip)
        return true; // swallowed: the control shows nothing
    return QObject::eventFilter(watched, event);
}
