#include "FieldDef.h"
#include "CalendarTime.h"
#include "TableError.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

double roundMoney4(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e14)
        return value;
    return std::round(value * 10000.0) / 10000.0;
}

namespace {

[[noreturn]] void conversionError(const FieldDef &field, const QVariant &value, const char *what)
{
    throw TableError(QStringLiteral("'%1' is not a valid %2 value for field '%3'")
                         .arg(value.toString(), QLatin1String(what), field.name));
}

double toFiniteDouble(const FieldDef &field, const QVariant &value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        conversionError(field, value, "number");
    return d;
}

// The text cut to `width` characters; a character outside the Basic
// Multilingual Plane (a surrogate pair) counts as one and is never split.
QString cutToWidth(const QString &text, int width)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (count == width)
            return text.left(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return text;
}

} // namespace

QVariant normaliseFieldValue(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    // A date-time is null without a date; one whose local reading does not
    // exist (a midnight skipped by the clocks) keeps its reading.
    if ((value.typeId() == QMetaType::QDateTime && !value.toDateTime().date().isValid())
        || (value.typeId() == QMetaType::QDate && !value.toDate().isValid()))
        return QVariant();
    // Only the number and date fields take blank text as null.
    const auto blankText = [&value] {
        return value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty();
    };

    switch (field.type) {
    case FieldType::Text: {
        const QString s = value.toString();
        return field.width > 0 && s.size() > field.width ? cutToWidth(s, field.width) : s;
    }
    case FieldType::Memo: return value.toString();
    case FieldType::Money:
        if (blankText())
            return QVariant();
        return roundMoney4(toFiniteDouble(field, value));
    case FieldType::Real:
        if (blankText())
            return QVariant();
        return toFiniteDouble(field, value);
    case FieldType::Integer: {
        if (blankText())
            return QVariant();
        bool ok = false;
        int i = 0;
        if (value.typeId() == QMetaType::Double) {
            const double d = value.toDouble();
            ok = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) <= 2147483647.0;
            i = static_cast<int>(d);
        } else {
            i = value.toInt(&ok);
        }
        if (!ok)
            conversionError(field, value, "integer");
        return i;
    }
    case FieldType::DateTime: {
        if (blankText())
            return QVariant();
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = CalendarTime::fromReading(value.toDateTime());
        else if (value.typeId() == QMetaType::QDate)
            dt = CalendarTime::at(value.toDate());
        else
            dt = CalendarTime::fromReading(QDateTime::fromString(value.toString(), Qt::ISODateWithMs));
        if (!dt.isValid())
            conversionError(field, value, "date");
        return dt;
    }
    }
    return value;
}
