#pragma once
#include <QList>

class QMdiSubWindow;
class QWidget;
class Tfrm_budget;

// What the plan-document commands need of the window whose document area
// holds the plan windows: new plan windows, the windows there, and a window
// brought forward or taken out. The main window implements it.
class DocumentArea
{
public:
    virtual ~DocumentArea() = default;

    // The window the commands' dialogs and messages stand over.
    virtual QWidget *dialogParent() = 0;
    // A new, empty plan window, maximised in the area.
    virtual Tfrm_budget *createPlanWindow() = 0;
    // The active document window when it is a plan window, else none.
    virtual Tfrm_budget *activePlanWindow() const = 0;
    // The plan windows, and every document window, in the order they opened.
    virtual QList<Tfrm_budget *> planWindows() const = 0;
    virtual QList<QMdiSubWindow *> documentWindows() const = 0;
    // `window` maximised and made the active document window.
    virtual void bringForward(QMdiSubWindow *window) = 0;
    // A document window taken out again, unseen and unasked.
    virtual void discardDocumentWindow(QWidget *document) = 0;
};
