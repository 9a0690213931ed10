#include "frm_budget.h"
#include "ItemsPage.h"
#include "LoansPage.h"
#include "RemindersPage.h"
#include "SavingsPage.h"

#include "plan/PageKind.h"
#include "plan/Plan.h"
#include "widgets/MessageBox.h"

#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>

namespace {

// One step of a plan window's history: a change the plan went through, and
// the page it was made on. It is pushed once made, so its first redo is none.
class PlanStep : public QUndoCommand
{
public:
    PlanStep(Tfrm_budget *window, PlanChange change, QString page)
        : m_window(window), m_change(std::move(change)), m_page(std::move(page))
    {
        // After the line break: the menu entry's text, where an & is no mnemonic.
        QString name = m_change.text();
        name.replace(QLatin1Char('\n'), QLatin1Char(' '));
        QString entry = name;
        entry.replace(QLatin1Char('&'), QStringLiteral("&&"));
        setText(name + QLatin1Char('\n') + entry);
    }
    void undo() override { m_window->replayChange(m_change, m_page, true); }
    void redo() override
    {
        if (std::exchange(m_made, false))
            return;
        m_window->replayChange(m_change, m_page, false);
    }

private:
    Tfrm_budget *m_window;
    PlanChange m_change;
    QString m_page;
    bool m_made = true;
};

} // namespace

void Tfrm_budget::addToHistory(PlanChange change)
{
    if (change.isEmpty())
        return;
    // Rows changed since the last step without a step of their own: the
    // older steps no longer fit the plan.
    if (m_history->count() > 0 && change.stampBefore() != m_historyStamp)
        clearHistory();
    m_historyStamp = change.stampAfter();
    m_history->push(new PlanStep(this, std::move(change), m_pagekind));
}

void Tfrm_budget::replayChange(const PlanChange &change, const QString &page, bool undo)
{
    if (m_plan->changeStamp() != m_historyStamp) {
        // Never expected: a change that went round the history. Its steps
        // would now take the wrong rows, so none is replayed, and the
        // history's saved state no longer tells whether the plan is saved.
        m_historyUnfit = true;
        m_plan->setSaved(false);
        QTimer::singleShot(0, this, [this] {
            clearHistory();
            MessageBox::error(this,
                              QStringLiteral("The plan was changed outside its undo history: the earlier "
                                             "changes can no longer be undone."));
        });
        return;
    }
    showPage(page);
    if (undo)
        change.undo(*m_plan);
    else
        change.redo(*m_plan);
    m_historyStamp = m_plan->changeStamp();

    // A view narrowed on a renamed category follows it back or forth.
    const PlanChange::Rename &rename = change.renamed();
    if (!rename.kind.isEmpty()) {
        Table &items = m_plan->items();
        const QString from = categoryFilter(rename.kind, undo ? rename.to : rename.from);
        if (items.filter() == from)
            items.setFilter(categoryFilter(rename.kind, undo ? rename.from : rename.to));
    }
    showChange(change);
}

void Tfrm_budget::showChange(const PlanChange &change)
{
    if (change.touchesCategoryTrees())
        rebuildCategoryTrees();
    updateall();
    cb_item_total_freqChange();
    emit planChanged();
}

void Tfrm_budget::showPage(const QString &page)
{
    if (page == PageKind::Income || page == PageKind::Expense) {
        m_pages->setCurrentWidget(m_itemsPage);
        m_itemsPage->showKind(page == QLatin1String("expense"));
    } else if (page == QLatin1String("savings")) {
        m_pages->setCurrentWidget(m_savingsPage);
    } else if (page == QLatin1String("loan")) {
        m_pages->setCurrentWidget(m_loansPage);
    } else if (page == QLatin1String("reminder")) {
        m_pages->setCurrentWidget(m_remindersPage);
    }
}

void Tfrm_budget::clearHistory()
{
    m_clearingHistory = true;
    m_history->clear();
    if (!m_plan->isSaved())
        m_history->resetClean();
    m_clearingHistory = false;
    m_historyUnfit = false;
    m_historyStamp = m_plan->changeStamp();
}

// Undo and redo reach the plan as last saved, or leave it.
void Tfrm_budget::savedFromHistory()
{
    if (!m_clearingHistory && !m_historyUnfit)
        m_plan->setSaved(m_history->isClean());
    if (m_plan->isSaved())
        discardRecoveryCopy();
    else
        keepRecoveryCopySoon();
}
