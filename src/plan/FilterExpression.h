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
    // `row` is a QList<QVariant> or a table's row view.
    template <typename R>
    bool accepts(const R &row) const;
    const QList<Comparison> &comparisons() const { return m_comparisons; }

private:
    QList<Comparison> m_comparisons;
};

template <typename R>
bool FilterExpression::accepts(const R &row) const
{
    for (const Comparison &c : m_comparisons) {
        const QVariant &v = row.at(c.field);
        if (c.value.typeId() == QMetaType::QString) {
            // Stored texts are compared where they are, without a copy.
            const QString &text = *static_cast<const QString *>(c.value.constData());
            if (v.typeId() == QMetaType::QString ? *static_cast<const QString *>(v.constData()) != text
                                                 : v.toString() != text)
                return false;
        } else if (c.value.typeId() == QMetaType::Int) {
            if (v.isNull() || v.toInt() != c.value.toInt())
                return false;
        } else {
            if (v.isNull() || v.toDouble() != c.value.toDouble())
                return false;
        }
    }
    return true;
}
