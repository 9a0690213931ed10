#pragma once
#include "TableChanges.h"

#include <QString>
#include <array>

class Plan;

// One change a person made to a plan, as one step of its undo history: what
// each of the plan's five tables went through (TableChanges) and the words
// that name it ("Delete Item "Rent""). Made by the change routines
// (PlanEdits); undone and done again by the plan window's history.
//
// Undo and redo work on the plan exactly as the change left it, or as undo
// left it: the history undoes its steps last first and redoes them in order,
// and every change to the plan's rows goes through it.
class PlanChange
{
public:
    PlanChange() = default;
    explicit PlanChange(QString text) : m_text(std::move(text)) { }
    PlanChange(PlanChange &&) noexcept = default;
    PlanChange &operator=(PlanChange &&) noexcept = default;
    PlanChange(const PlanChange &) = delete;
    PlanChange &operator=(const PlanChange &) = delete;

    const QString &text() const { return m_text; }
    // The plan's change stamps just before and just after the change was made.
    quint64 stampBefore() const { return m_stampBefore; }
    quint64 stampAfter() const { return m_stampAfter; }

    // The category the change renamed, if it renamed one: views narrowed on
    // one name follow it to the other when the change is undone or redone.
    struct Rename
    {
        QString kind;
        QString from;
        QString to;
    };
    const Rename &renamed() const { return m_renamed; }
    void setRenamed(Rename rename) { m_renamed = std::move(rename); }
    bool isEmpty() const;
    // Whether the items or the categories changed (the category trees follow them).
    bool touchesCategoryTrees() const;
    // Which tables changed, in the plan's order: items, savings, loans,
    // categories, reminders.
    bool touches(int table) const { return !m_tables.at(static_cast<size_t>(table)).isEmpty(); }
    size_t heldBytes() const;

    void undo(Plan &plan) const;
    void redo(Plan &plan) const;
    // Undoes a change refused part-way, as if it had never begun.
    void rollBack(Plan &plan) const;

    // Records every change of the plan's rows into `change` while it lives.
    class Recording
    {
    public:
        Recording(Plan &plan, PlanChange &change);
        ~Recording();
        Recording(const Recording &) = delete;
        Recording &operator=(const Recording &) = delete;

    private:
        Plan &m_plan;
        PlanChange &m_change;
    };

    enum TableIndex { Items, Savings, Loans, Categories, Reminders, TableCount };

private:
    std::array<TableChanges, TableCount> m_tables;
    QString m_text;
    Rename m_renamed;
    quint64 m_stampBefore = 0;
    quint64 m_stampAfter = 0;
    std::array<quint64, TableCount> m_countsBefore{};
};
