#pragma once
#include "plan/DueReminders.h"

#include <QFrame>

class QLabel;
class QToolButton;
class QTreeWidget;

// The bar at the top of a plan window that lists the reminders falling due
// today or within the next seven days when the plan opens. It waits for
// nothing: the plan can be used while it shows, and its close button puts it
// away. It stays hidden for a plan with nothing due.
class DueRemindersBar : public QFrame
{
    Q_OBJECT
public:
    explicit DueRemindersBar(QWidget *parent = nullptr);

    // Shows the reminders (hides the bar when there are none).
    void showReminders(const QList<DueReminders::Due> &due);
    QTreeWidget *list() const { return m_list; }
    QToolButton *closeButton() const { return m_close; }

private:
    QLabel *m_title = nullptr;
    QTreeWidget *m_list = nullptr;
    QToolButton *m_close = nullptr;
};
