#include "PlanChange.h"
#include "Plan.h"

namespace {

std::array<Table *, PlanChange::TableCount> tablesOf(Plan &plan)
{
    return {&plan.items(), &plan.savings(), &plan.loans(), &plan.categories(), &plan.reminders()};
}

} // namespace

bool PlanChange::isEmpty() const
{
    for (const TableChanges &t : m_tables)
        if (!t.isEmpty())
            return false;
    return true;
}

bool PlanChange::touchesCategoryTrees() const
{
    return touches(Items) || touches(Categories);
}

size_t PlanChange::heldBytes() const
{
    size_t bytes = sizeof(*this) + static_cast<size_t>(m_text.capacity()) * 2;
    for (const TableChanges &t : m_tables)
        bytes += t.heldBytes();
    return bytes;
}

void PlanChange::undo(Plan &plan) const
{
    const auto tables = tablesOf(plan);
    for (size_t i = tables.size(); i-- > 0;)
        m_tables[i].undo(*tables[i]);
}

void PlanChange::redo(Plan &plan) const
{
    const auto tables = tablesOf(plan);
    for (size_t i = 0; i < tables.size(); ++i)
        m_tables[i].redo(*tables[i]);
}

void PlanChange::rollBack(Plan &plan) const
{
    const auto tables = tablesOf(plan);
    for (size_t i = tables.size(); i-- > 0;)
        m_tables[i].rollBack(*tables[i], m_countsBefore[i]);
}

PlanChange::Recording::Recording(Plan &plan, PlanChange &change) : m_plan(plan), m_change(change)
{
    change.m_stampBefore = plan.changeStamp();
    const auto tables = tablesOf(plan);
    for (size_t i = 0; i < tables.size(); ++i) {
        change.m_countsBefore[i] = tables[i]->changeCount();
        tables[i]->setRecorder(&change.m_tables[i]);
    }
}

PlanChange::Recording::~Recording()
{
    for (Table *table : tablesOf(m_plan))
        table->setRecorder(nullptr);
    m_change.m_stampAfter = m_plan.changeStamp();
}
