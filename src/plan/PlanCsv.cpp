#include "plan/PlanCsv.h"
#include "plan/CalendarTime.h"

#include "plan/FileWriter.h"
#include "plan/Plan.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace PlanCsv {

const QList<TableFile> &tableFiles()
{
    static const QList<TableFile> files = {
        {QStringLiteral("items.csv"), [](Plan &p) -> Table & { return p.items(); }},
        {QStringLiteral("categories.csv"), [](Plan &p) -> Table & { return p.categories(); }},
        {QStringLiteral("savings.csv"), [](Plan &p) -> Table & { return p.savings(); }},
        {QStringLiteral("loans.csv"), [](Plan &p) -> Table & { return p.loans(); }},
        {QStringLiteral("reminders.csv"), [](Plan &p) -> Table & { return p.reminders(); }},
    };
    return files;
}

void writeFolder(Plan &plan, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw FileWriteError(folder, QStringLiteral("the folder \"%1\" cannot be created").arg(folder));
    const QDir dir(folder);
    FileWriter writer;
    for (const TableFile &file : tableFiles())
        writer.add(dir.filePath(file.csvName), tableText(file.table(plan)).toUtf8());
    writer.commit();
}

QString tableText(const Table &table)
{
    const QList<FieldDef> &fields = table.fields();
    QList<Csv::Cell> header;
    for (const FieldDef &field : fields)
        header.append({field.name, false});
    QString text = Csv::formatRecord(header);
    for (const Table::RowView row : table.allRows()) {
        QList<Csv::Cell> cells;
        for (qsizetype i = 0; i < fields.size(); ++i)
            cells.append(cellFor(fields.at(i), i < row.size() ? row.at(i) : QVariant()));
        text += Csv::formatRecord(cells);
    }
    return text;
}

namespace {

QString numberText(double value)
{
    // Fixed notation with as many digits as it takes to read back the same
    // double, and always a point: independent of the locale.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString padded(int value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

} // namespace

QString dateTimeText(const QDateTime &dateTime)
{
    const QDate d = dateTime.date();
    const int year = d.year();
    QString text = (year < 0 ? QStringLiteral("-") : QString()) + padded(std::abs(year), 4) + u'-'
        + padded(d.month(), 2) + u'-' + padded(d.day(), 2);
    const QTime t = dateTime.time();
    if (t.isValid() && t.msecsSinceStartOfDay() != 0)
        text += u'T' + t.toString(QStringLiteral("HH:mm:ss.zzz"));
    return text;
}

QDateTime dateTimeFromText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(-?\\d{4,})-(\\d{2})-(\\d{2})(?:T(\\d{2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,3}))?)?)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    bool yearOk = false;
    const int year = m.captured(1).toInt(&yearOk);
    const QDate date(year, m.captured(2).toInt(), m.captured(3).toInt());
    if (!yearOk || !date.isValid())
        return {};
    QTime time(0, 0);
    if (m.hasCaptured(4)) {
        const QString fraction = m.captured(7).leftJustified(3, QLatin1Char('0'));
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), fraction.toInt());
        if (!time.isValid())
            return {};
    }
    return CalendarTime::at(date, time);
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

Csv::Cell cellFor(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const QString text = value.toString();
        return {text, text.isEmpty()};
    }
    case FieldType::Money:
    case FieldType::Real: return {numberText(value.toDouble()), false};
    case FieldType::Integer: return {QString::number(value.toInt()), false};
    case FieldType::DateTime: return {dateTimeText(value.toDateTime()), false};
    }
    return {};
}

QString valueFor(const FieldDef &field, const Csv::Cell &cell, QVariant &value)
{
    value = QVariant();
    if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        if (cell.text.isEmpty() && !cell.quoted)
            return {};
        if (field.type == FieldType::Text && field.width > 0) {
            const qsizetype length = characterCount(cell.text);
            if (length > field.width)
                return QStringLiteral("the text is %1 characters long; at most %2 fit").arg(length).arg(field.width);
        }
        value = cell.text;
        return {};
    }

    const QString text = cell.text.trimmed();
    if (text.isEmpty())
        return {};
    switch (field.type) {
    case FieldType::Money:
    case FieldType::Real: {
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return QStringLiteral("'%1' is not a number (write it with a decimal point, such as 1234.50)")
                .arg(cell.text);
        value = d;
        return {};
    }
    case FieldType::Integer: {
        bool ok = false;
        const int i = text.toInt(&ok);
        if (!ok)
            return QStringLiteral("'%1' is not a whole number").arg(cell.text);
        value = i;
        return {};
    }
    case FieldType::DateTime: {
        const QDateTime dt = dateTimeFromText(text);
        if (!dt.isValid())
            return QStringLiteral("'%1' is not a date (yyyy-MM-dd, or yyyy-MM-ddTHH:mm:ss.zzz with a time)")
                .arg(cell.text);
        value = dt;
        return {};
    }
    case FieldType::Text:
    case FieldType::Memo: break;
    }
    return {};
}

} // namespace PlanCsv
