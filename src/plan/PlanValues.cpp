#include "PlanValues.h"
#include "Frequency.h"
#include "Plan.h"
#include "Table.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace PlanValues {

namespace {

enum class Rule {
    None,
    Frequency,
    SavingsFrequency,
    Kind,
    DayOfMonth,
    Month,
    Money,
    LoanLength,
};

bool isTextRule(Rule rule)
{
    return rule == Rule::Frequency || rule == Rule::SavingsFrequency || rule == Rule::Kind;
}

Rule ruleFor(const QString &table, const FieldDef &field)
{
    const QString &name = field.name;
    if (field.type == FieldType::Money)
        return Rule::Money;
    if ((table == QLatin1String("cds_budget") && name == QLatin1String("freq"))
        || (table == QLatin1String("cds_loans") && name == QLatin1String("payfreq")))
        return Rule::Frequency;
    if (table == QLatin1String("cds_savings") && name == QLatin1String("freq"))
        return Rule::SavingsFrequency;
    if (name == QLatin1String("catid") || name == QLatin1String("cat_id"))
        return Rule::Kind;
    if (table == QLatin1String("cds_remind") && name == QLatin1String("dom"))
        return Rule::DayOfMonth;
    if (table == QLatin1String("cds_remind") && name == QLatin1String("month"))
        return Rule::Month;
    if (table == QLatin1String("cds_loans") && name == QLatin1String("loanlgth"))
        return Rule::LoanLength;
    return Rule::None;
}

QString listText(const QStringList &names)
{
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.last();
}

const QStringList &frequencies()
{
    static const QStringList names = Frequency::names();
    return names;
}

const QStringList &savingsFrequencies()
{
    static const QStringList names = Frequency::savingsNames();
    return names;
}

QString frequencyProblem(const QString &text, const QStringList &allowed, const char *what)
{
    if (allowed.contains(text)) // exact, case-sensitive
        return {};
    if (text.isEmpty())
        return QStringLiteral("the frequency is missing; give %1").arg(listText(allowed));
    return QStringLiteral("'%1' is not a %2; give %3 (exactly so written)")
        .arg(text, QLatin1String(what), listText(allowed));
}

QString kindProblem(const QString &text)
{
    if (text == Kind::Income || text == Kind::Expense)
        return {};
    if (text.isEmpty())
        return QStringLiteral("the kind letter is missing; give I (income) or E (expense)");
    return QStringLiteral("'%1' is not a kind letter; give I (income) or E (expense)").arg(text);
}

QString textProblem(Rule rule, const QString &text)
{
    switch (rule) {
    case Rule::Frequency: return frequencyProblem(text, frequencies(), "frequency");
    case Rule::SavingsFrequency: return frequencyProblem(text, savingsFrequencies(), "savings frequency");
    case Rule::Kind: return kindProblem(text);
    default: return {};
    }
}

bool isMissing(const QVariant &value)
{
    return !value.isValid() || value.isNull();
}

QString rangeProblem(const QVariant &value, int low, int high, const char *what)
{
    if (isMissing(value))
        return QStringLiteral("the %1 is missing; give %2 to %3").arg(QLatin1String(what)).arg(low).arg(high);
    const int n = value.toInt();
    if (n < low || n > high)
        return QStringLiteral("%1 is not a %2; give %3 to %4").arg(n).arg(QLatin1String(what)).arg(low).arg(high);
    return {};
}

QString numberText(double d)
{
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

QString notNumber(double d)
{
    return QStringLiteral("'%1' is not a number").arg(numberText(d));
}

QString moneyProblem(const QVariant &value)
{
    if (isMissing(value))
        return {};
    const double d = value.toDouble();
    if (!std::isfinite(d))
        return notNumber(d);
    if (std::fabs(d) >= kMoneyLimit)
        return QStringLiteral("%1 is too large an amount; an amount has at most 12 digits before the point")
            .arg(numberText(d));
    return {};
}

QString valueProblem(Rule rule, const QVariant &value)
{
    switch (rule) {
    case Rule::None: return {};
    case Rule::Frequency:
    case Rule::SavingsFrequency:
    case Rule::Kind: return textProblem(rule, value.toString());
    case Rule::DayOfMonth: return rangeProblem(value, 1, 31, "day of the month");
    case Rule::Month: return rangeProblem(value, 1, 12, "month");
    case Rule::Money: return moneyProblem(value);
    case Rule::LoanLength: return isMissing(value) ? QString() : rangeProblem(value, 0, 100, "loan length in years");
    }
    return {};
}

// The common good values, told without building a message. A number that
// is not finite is left to the table, which refuses it in its own words
// when it stores the row.
bool passes(Rule rule, const QVariant &value)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = *static_cast<const double *>(value.constData());
        return rule == Rule::Money && (std::fabs(d) < kMoneyLimit || !std::isfinite(d));
    }
    if (value.typeId() == QMetaType::Int) {
        const int n = *static_cast<const int *>(value.constData());
        switch (rule) {
        case Rule::DayOfMonth: return n >= 1 && n <= 31;
        case Rule::Month: return n >= 1 && n <= 12;
        case Rule::LoanLength: return n >= 0 && n <= 100;
        default: return false;
        }
    }
    return false;
}

constexpr size_t kChunk = 256;
constexpr size_t kMaxGoodTexts = 16;

// One checked field, looked at a piece of rows at a time.
struct FieldCheck
{
    int field;
    Rule rule;
    // Rows read from a file share one stored text for each distinct value,
    // so each is checked once.
    const QString *good[kMaxGoodTexts];
    size_t goodCount = 0;
    const QString *last = nullptr;

    // The first of the rows [from, from + count) that the rule refuses, with
    // its problem in `text`; from + count when there is none.
    size_t firstBad(const Table &table, size_t from, size_t count, QString &text)
    {
        if (isTextRule(rule))
            return firstBadText(table, from, count, text);
        return firstBadNumber(table, from, count, text);
    }

    size_t firstBadText(const Table &table, size_t from, size_t count, QString &text)
    {
        const QString *texts[kChunk];
        table.columnTexts(field, from, count, texts);
        for (size_t i = 0; i < count; ++i) {
            const QString *stored = texts[i];
            if (stored && (stored == last || std::find(good, good + goodCount, stored) != good + goodCount)) {
                last = stored;
                continue;
            }
            text = stored ? textProblem(rule, *stored) : valueProblem(rule, table.allRows()[from + i].at(field));
            if (!text.isEmpty())
                return from + i;
            if (stored && goodCount < kMaxGoodTexts)
                good[goodCount++] = stored;
            last = stored;
        }
        return from + count;
    }

    size_t firstBadNumber(const Table &table, size_t from, size_t count, QString &text)
    {
        double numbers[kChunk];
        bool held[kChunk];
        table.columnNumbers(field, from, count, numbers, held);
        for (size_t i = 0; i < count; ++i) {
            // Money held as a number, the common case, told without a value.
            if (rule == Rule::Money && held[i] && (std::fabs(numbers[i]) < kMoneyLimit || !std::isfinite(numbers[i])))
                continue;
            const QVariant value = table.allRows()[from + i].at(field);
            if (passes(rule, value))
                continue;
            text = valueProblem(rule, value);
            if (!text.isEmpty())
                return from + i;
        }
        return from + count;
    }
};

} // namespace

QString problem(const QString &tableName, const FieldDef &field, const QVariant &value)
{
    return valueProblem(ruleFor(tableName, field), value);
}

RowProblem firstProblem(const Table &table)
{
    std::vector<FieldCheck> checks;
    const QList<FieldDef> &fields = table.fields();
    for (int f = 0; f < fields.size(); ++f)
        if (const Rule rule = ruleFor(table.name(), fields.at(f)); rule != Rule::None)
            checks.push_back({f, rule, {}});

    // A piece of rows at a time, every checked field of it while its rows
    // are at hand; within a piece a later field only looks above the first
    // problem found so far, so the first row's first field wins.
    const size_t rows = table.allRows().size();
    for (size_t from = 0; from < rows && !checks.empty(); from += kChunk) {
        size_t count = std::min(kChunk, rows - from);
        RowProblem first;
        for (FieldCheck &check : checks) {
            QString text;
            const size_t bad = check.firstBad(table, from, count, text);
            if (bad < from + count) {
                first = {static_cast<int>(bad), check.field, text};
                count = bad - from;
            }
        }
        if (first.found())
            return first;
    }
    return {};
}

} // namespace PlanValues
