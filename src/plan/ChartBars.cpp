#include "ChartBars.h"
#include "MoneyFormat.h"
#include "Plan.h"

#include <QLocale>
#include <QMap>
#include <cmath>

namespace ChartBars {

namespace {

QList<Bar> categoryBars(const Plan &plan, const QString &kind)
{
    const Table &items = plan.items();
    const int itemCat = items.fieldIndex("cat");
    const int itemKind = items.fieldIndex("catid");
    const int amount = items.fieldIndex("amount");
    QHash<QString, double> sums;
    for (const Table::RowView row : items.allRows())
        if (row.toString(itemKind) == kind)
            sums[row.toString(itemCat)] += row.at(amount).toDouble();

    const Table &categories = plan.categories();
    const int cat = categories.fieldIndex("cat");
    const int catKind = categories.fieldIndex("catid");
    QList<Bar> out;
    for (const Table::RowView row : categories.allRows())
        if (row.toString(catKind) == kind)
            out.append({row.toString(cat), sums.value(row.toString(cat))});
    return out;
}

QList<Bar> rowBars(const Table &table, const char *labelField, const char *valueField)
{
    const int label = table.fieldIndex(QLatin1String(labelField));
    const int value = table.fieldIndex(QLatin1String(valueField));
    QList<Bar> out;
    for (const Table::RowView row : table.allRows())
        out.append({row.toString(label), row.at(value).toDouble()});
    return out;
}

} // namespace

QList<Bar> bars(const Plan &plan, Choice choice, const PlanTotals &totals)
{
    switch (choice) {
    case Choice::IncomeCategories: return categoryBars(plan, Kind::Income);
    case Choice::ExpenseCategories: return categoryBars(plan, Kind::Expense);
    case Choice::SavingsItems: return rowBars(plan.savings(), "desc", "amount");
    case Choice::Loans: return rowBars(plan.loans(), "lender", "amtborrowed");
    case Choice::Summary:
        return {{QStringLiteral("Income"), totals.income},
                {QStringLiteral("Expense"), totals.expense},
                {QStringLiteral("Savings"), totals.savings},
                {QStringLiteral("Loans"), totals.loans},
                {QStringLiteral("Balance"), totals.balance}};
    }
    return {};
}

QString legendNumber(double value)
{
    QString text = MoneyFormat::fixed(std::fabs(value), 3);
    const QLocale locale;
    const QString point = locale.decimalPoint();
    qsizetype dot = text.indexOf(point);
    if (dot >= 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    dot = text.indexOf(point);
    const qsizetype wholeDigits = dot < 0 ? text.size() : dot;
    for (qsizetype i = wholeDigits - 3; i > 0; i -= 3)
        text.insert(i, locale.groupSeparator());
    const bool negative = value < 0 && text != QLatin1String("0");
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace ChartBars
