#pragma once
#include "FieldDef.h"

#include <QList>
#include <QString>
#include <QVariant>

// A parsed filter: comparisons "field = constant" joined by " and ", where the
// constant is a single-quoted string (a quote inside doubled) or an integer.
// String comparison is exact and case-sensitive. An integer field may be
// compared with a quoted number ("month = '3'"); a text field with an integer
// compares with the integer's digits.
class FilterExpression
{
public:
    struct Comparison
    {
        int field = -1;
        QVariant value; // already in the field's stored form
    };

    FilterExpression() = default;

    // Parses `text` against the fields; throws TableError with a clear message
    // naming what is wrong when it does not parse. An empty or blank text
    // accepts every row.
    static FilterExpression parse(const QString &text, const QList<FieldDef> &fields);

    bool isEmpty() const { return m_comparisons.isEmpty(); }
    bool accepts(const QList<QVariant> &row) const;
    const QList<Comparison> &comparisons() const { return m_comparisons; }

private:
    QList<Comparison> m_comparisons;
};
