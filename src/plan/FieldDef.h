#pragma once
#include <QString>
#include <QVariant>

// The column types of the plan tables.
enum class FieldType {
    Text, // character string of at most `width` characters
    Money, // double, stored rounded to four decimals
    DateTime, // calendar date with time of day
    Integer, // 32-bit signed integer
    Real, // double
    Memo // text of any length
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int width = 0; // Text: maximum characters; Memo: declared size
    QString label; // display label; empty when the field has none

    QString displayLabel() const { return label.isEmpty() ? name : label; }
};

// Brings a value into the form the table stores for a field of the given type:
// text cut to its width, money rounded to four decimals, numbers converted.
// A null or empty value stays null. Throws TableError for a value that does not
// convert (for example "abc" for an integer field).
QVariant normaliseFieldValue(const FieldDef &field, const QVariant &value);

// Money rounded to four decimals, halves away from zero.
double roundMoney4(double value);
