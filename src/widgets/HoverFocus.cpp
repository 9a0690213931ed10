#include "HoverFocus.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

void HoverFocus::apply(QWidget *button)
{
    static HoverFocus *filter = new HoverFocus(QCoreApplication::instance());
    if (button->focusPolicy() == Qt::NoFocus)
        button->setFocusPolicy(Qt::TabFocus);
    button->installEventFilter(filter);
}

bool HoverFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter)
        if (auto *widget = qobject_cast<QWidget *>(watched); widget && widget->isEnabled())
            widget->setFocus(Qt::MouseFocusReason);
    return QObject::eventFilter(watched, event);
}
