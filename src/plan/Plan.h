#pragma once
#include "CategoryTree.h"
#include "Table.h"

#include <QObject>

// One budget plan: its five tables and its display frequency. Each plan window
// owns one. The tables are created empty, in the order items, savings, loans,
// categories, reminders, with their keys, orders and initial filters:
// categories "catid = 'I'" and reminders "cat_id='I'", both switched on.
class Plan : public QObject
{
    Q_OBJECT
public:
    explicit Plan(QObject *parent = nullptr);

    Table &items() { return *m_items; } // cds_budget
    Table &savings() { return *m_savings; } // cds_savings
    Table &loans() { return *m_loans; } // cds_loans
    Table &categories() { return *m_categories; } // cds_cat
    Table &reminders() { return *m_reminders; } // cds_remind
    const Table &items() const { return *m_items; }
    const Table &savings() const { return *m_savings; }
    const Table &loans() const { return *m_loans; }
    const Table &categories() const { return *m_categories; }
    const Table &reminders() const { return *m_reminders; }

    // Index 0..5 into the frequency names; 2 ("Fortnightly") by default.
    int displayFrequency() const { return m_displayFrequency; }
    void setDisplayFrequency(int index);

    // Grows with every change of any table's rows: two equal stamps mean
    // the rows did not change in between.
    quint64 changeStamp() const;

    // True while the plan has no unsaved changes.
    bool isSaved() const { return m_saved; }
    void setSaved(bool saved) { m_saved = saved; }

    // The content of the category trees, as the last rebuild left it.
    const CategoryTrees &categoryTrees() const { return m_trees; }
    // Stores trees computed from the items and categories as they are now.
    void setCategoryTrees(const CategoryTrees &trees);
    // Whether neither the items nor the categories changed since then.
    bool categoryTreesCurrent() const;

    // The field definitions of the five tables.
    static QList<FieldDef> itemFields();
    static QList<FieldDef> categoryFields();
    static QList<FieldDef> savingsFields();
    static QList<FieldDef> loanFields();
    static QList<FieldDef> reminderFields();

    // A new empty table of the given name ("cds_budget", ...), with its key,
    // order and index name but no filter; used for scratch copies and loading.
    static Table *createTable(const QString &name, QObject *parent = nullptr);

private:
    Table *m_items;
    Table *m_savings;
    Table *m_loans;
    Table *m_categories;
    Table *m_reminders;
    int m_displayFrequency = 2;
    bool m_saved = true;
    CategoryTrees m_trees;
    bool m_treesStored = false;
    quint64 m_treesItemsChange = 0; // the tables' change counts the trees were computed at
    quint64 m_treesCategoriesChange = 0;

signals:
    void categoryTreesChanged();
};

// The kind letters of items and categories.
namespace Kind {
inline const QString Income = QStringLiteral("I");
inline const QString Expense = QStringLiteral("E");
} // namespace Kind

// "catid = 'X'"
QString kindFilter(const QString &kindLetter);
// "catid = 'X' and cat = 'N'" with any quote in N doubled
QString categoryFilter(const QString &kindLetter, const QString &category);
// A text as a quoted filter constant: 'Mum''s'
QString quoteFilterText(const QString &text);
