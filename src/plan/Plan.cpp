#include "Plan.h"
#include "plan/PageKind.h"
#include "Frequency.h"

#include <QStringList>

QList<FieldDef> Plan::itemFields()
{
    return {
        {"item", FieldType::Text, 50, "Item"},     {"freq", FieldType::Text, 11, "Frequency"},
        {"amount", FieldType::Money, 0, "Amount"}, {"cat", FieldType::Text, 20, "Category"},
        {"catid", FieldType::Text, 1, {}},         {"notes", FieldType::Memo, 600, {}},
    };
}

QList<FieldDef> Plan::categoryFields()
{
    return {
        {"cat", FieldType::Text, 20, "Category"},
        {"catid", FieldType::Text, 1, {}},
    };
}

QList<FieldDef> Plan::savingsFields()
{
    return {
        {"desc", FieldType::Text, 50, "Savings Item"}, {"amount", FieldType::Money, 0, {}},
        {"start", FieldType::DateTime, 0, {}},         {"finish", FieldType::DateTime, 0, {}},
        {"freq", FieldType::Text, 11, "Frequency"},    {"freqamount", FieldType::Money, 0, "Amount To Save"},
    };
}

QList<FieldDef> Plan::loanFields()
{
    return {
        {"purpose", FieldType::Text, 50, "Purpose"}, {"lender", FieldType::Text, 30, "Lender"},
        {"amtborrowed", FieldType::Money, 0, {}},    {"minpay", FieldType::Money, 0, {}},
        {"payfreq", FieldType::Text, 11, {}},        {"start", FieldType::DateTime, 0, {}},
        {"loanlgth", FieldType::Integer, 0, {}},     {"finish", FieldType::DateTime, 0, {}},
        {"intrate", FieldType::Real, 0, {}},
    };
}

QList<FieldDef> Plan::reminderFields()
{
    return {
        {"cat_id", FieldType::Text, 1, "Cat ID"},     {"cat", FieldType::Text, 20, "Category"},
        {"item", FieldType::Text, 20, "Item"},        {"dom", FieldType::Integer, 0, "Day"},
        {"desc", FieldType::Text, 50, "Description"}, {"month", FieldType::Integer, 0, "Month"},
    };
}

namespace {
// "income" or "expense" for a kind letter.
QString kindWord(const QString &letter)
{
    return letter == Kind::Expense ? PageKind::Expense : PageKind::Income;
}
} // namespace

Table *Plan::createTable(const QString &name, QObject *parent)
{
    if (name == QLatin1String("cds_budget")) {
        auto *table = new Table(name, itemFields(), {"cat", "catid", "item"}, true, "cds_budgetIndex1", parent);
        table->setDuplicateText([](const Table::Row &row) {
            return QStringLiteral("The category \"%1\" already has an %2 item \"%3\"")
                .arg(row.at(3).toString(), kindWord(row.at(4).toString()), row.at(0).toString());
        });
        return table;
    }
    if (name == QLatin1String("cds_cat")) {
        auto *table = new Table(name, categoryFields(), {"cat", "catid"}, true, "cds_catIndex", parent);
        table->setDuplicateText([](const Table::Row &row) {
            return QStringLiteral("There is already an %1 category \"%2\"")
                .arg(kindWord(row.at(1).toString()), row.at(0).toString());
        });
        return table;
    }
    if (name == QLatin1String("cds_savings"))
        return new Table(name, savingsFields(), {}, false, {}, parent);
    if (name == QLatin1String("cds_loans"))
        return new Table(name, loanFields(), {}, false, {}, parent);
    if (name == QLatin1String("cds_remind"))
        return new Table(name, reminderFields(), {"cat", "item", "month", "dom"}, false, {}, parent);
    throw TableError(QStringLiteral("Unknown table '%1'").arg(name));
}

Plan::Plan(QObject *parent) : QObject(parent)
{
    m_items = createTable("cds_budget", this);
    m_savings = createTable("cds_savings", this);
    m_loans = createTable("cds_loans", this);
    m_categories = createTable("cds_cat", this);
    m_reminders = createTable("cds_remind", this);

    m_categories->setFilter(kindFilter(Kind::Income));
    m_categories->setFiltered(true);
    m_reminders->setFilter(QStringLiteral("cat_id='I'"));
    m_reminders->setFiltered(true);
    // Reminders are a detail of items on kind letter, category and item name
    // (cut to the reminder's 20 characters); the items page switches the link
    // on and off.
    m_reminders->setMasterLink(m_items, {"cat_id", "cat", "item"}, {"catid", "cat", "item"});
}

quint64 Plan::changeStamp() const
{
    return m_items->changeCount() + m_savings->changeCount() + m_loans->changeCount() + m_categories->changeCount()
        + m_reminders->changeCount();
}

void Plan::setDisplayFrequency(int index)
{
    if (index >= 0 && index < Frequency::count())
        m_displayFrequency = index;
}

QString quoteFilterText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString kindFilter(const QString &kindLetter)
{
    return QStringLiteral("catid = ") + quoteFilterText(kindLetter);
}

QString categoryFilter(const QString &kindLetter, const QString &category)
{
    return kindFilter(kindLetter) + QStringLiteral(" and cat = ") + quoteFilterText(category);
}

void Plan::setCategoryTrees(const CategoryTrees &trees)
{
    m_trees = trees;
    m_treesStored = true;
    m_treesItemsChange = m_items->changeCount();
    m_treesCategoriesChange = m_categories->changeCount();
    emit categoryTreesChanged();
}

bool Plan::categoryTreesCurrent() const
{
    return m_treesStored && m_treesItemsChange == m_items->changeCount()
        && m_treesCategoriesChange == m_categories->changeCount();
}
