#pragma once
#include "plan/PlanChange.h"
#include "plan/PlanTotals.h"

#include <QString>
#include <QWidget>

class Plan;

// What the editors, the reports and the loan calculator see of a plan window:
// its plan, its state, the display frequency and stored totals, and the
// refresh routines. The plan window implements it; nothing that works on a
// plan window needs to know more of it.
class PlanDocument : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual Plan &plan() = 0;

    virtual QString planfile() const = 0;
    virtual QString pagekind() const = 0;
    virtual QString editmode() const = 0;
    virtual bool saved() const = 0;
    virtual void setSaved(bool saved) = 0;

    // Index 0..5 of the frequency names, and its name.
    virtual int displayFrequency() const = 0;
    virtual QString displayFrequencyName() const = 0;
    // The totals the last updateall computed, at the display frequency.
    virtual const PlanTotals &totals() const = 0;

    // Recomputes the totals and rewrites the status bar.
    virtual void updateall() = 0;
    virtual void update_labels() = 0;
    virtual void rebuildCategoryTrees() = 0;

    // A change the plan has just gone through (made by a PlanEdits routine)
    // becomes one step of the window's undo history; an empty one is none.
    virtual void addToHistory(PlanChange change) = 0;

    // The folder the program keeps its own files in (the suggested-items
    // lists): never the process's current folder.
    virtual QString programFolder() const = 0;

    // The on-screen hints setting of the program.
    virtual bool hintsEnabled() const = 0;

signals:
    // A change the window's pages show outside the table signals (a reminder
    // added or removed while another page's link is off).
    void planChanged();
};
