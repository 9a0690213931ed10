#include "plan/PlanImport.h"
#include "plan/Csv.h"
#include "plan/PlanCsv.h"

#include "plan/Plan.h"
#include "plan/PlanValues.h"
#include "plan/RegularFile.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

QString listText(const QStringList &names)
{
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.last();
}

int fieldPosition(const QList<FieldDef> &fields, const char *name)
{
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (fields.at(i).name == QLatin1String(name))
            return static_cast<int>(i);
    return -1;
}

QString headerText(const QList<FieldDef> &fields)
{
    QStringList names;
    for (const FieldDef &field : fields)
        names << field.name;
    return names.join(u',');
}

QString describeKey(const Table &table, const Table::Row &row)
{
    const auto text = [&](const char *field) { return row.at(table.fieldIndex(field)).toString(); };
    if (table.name() == QLatin1String("cds_budget"))
        return QStringLiteral("the item '%1' in category '%2' (%3)").arg(text("item"), text("cat"), text("catid"));
    if (table.name() == QLatin1String("cds_cat"))
        return QStringLiteral("the category '%1' (%2)").arg(text("cat"), text("catid"));
    QStringList parts;
    for (int f : table.orderFieldIndexes())
        parts << row.at(f).toString();
    return QStringLiteral("the key '%1'").arg(parts.join(u';'));
}

QString tooLargeText(qint64 size, qint64 limit)
{
    return QStringLiteral("is %1 bytes long, too large to import (at most %2)").arg(size).arg(limit);
}

} // namespace

void PlanImport::error(const QString &path, int line, const QString &field, const QString &message)
{
    QString text = path + u':';
    if (line > 0)
        text += QString::number(line) + u':';
    text += u' ';
    if (!field.isEmpty())
        text += QStringLiteral("field '%1': ").arg(field);
    m_fileErrors.push_back({line, text + message});
}

QStringList PlanImport::shownErrors() const
{
    constexpr qsizetype shown = 20;
    QStringList lines = m_errors.mid(0, shown);
    if (m_errors.size() > shown)
        lines << QStringLiteral("... and %1 more problems").arg(m_errors.size() - shown);
    return lines;
}

bool PlanImport::read(const QString &folder, Plan &plan)
{
    m_errors.clear();
    m_warnings.clear();
    const QDir dir(folder);
    if (!QFileInfo(folder).isDir()) {
        m_errors << QStringLiteral("'%1' is not a folder").arg(folder);
        return false;
    }

    const QList<PlanCsv::TableFile> &files = PlanCsv::tableFiles();
    std::vector<std::vector<SourceRow>> rows(files.size());
    bool anyFile = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = dir.filePath(files.at(i).csvName);
        if (!QFileInfo::exists(path))
            continue;
        anyFile = true;
        const Table &table = files.at(i).table(plan);
        readFile(path, table, rows[i]);
        checkKeys(path, table, rows[i]);
        takeFileErrors();
    }
    if (!anyFile) {
        QStringList names;
        for (const PlanCsv::TableFile &file : files)
            names << file.csvName;
        m_errors << QStringLiteral("'%1' holds none of %2: there is nothing to import").arg(folder, listText(names));
    }
    if (!m_errors.isEmpty())
        return false;

    warnAboutCategories(dir.filePath(files.at(0).csvName), rows[0], rows[1]);
    for (qsizetype i = 0; i < files.size(); ++i) {
        std::vector<Table::Row> plain;
        plain.reserve(rows[i].size());
        for (SourceRow &source : rows[i])
            plain.push_back(std::move(source.row));
        try {
            files.at(i).table(plan).setAllRows(std::move(plain));
        } catch (const TableError &e) { // the checks above should have caught it
            m_errors << dir.filePath(files.at(i).csvName) + QStringLiteral(": ") + e.message();
            for (const PlanCsv::TableFile &file : files)
                file.table(plan).setAllRows({});
            return false;
        }
    }
    return true;
}

bool PlanImport::readTable(const QString &label, const QByteArray &data, Table &table)
{
    m_errors.clear();
    m_warnings.clear();
    std::vector<SourceRow> rows;
    readData(label, data, table, rows);
    checkKeys(label, table, rows);
    takeFileErrors();
    if (!m_errors.isEmpty())
        return false;
    std::vector<Table::Row> plain;
    plain.reserve(rows.size());
    for (SourceRow &source : rows)
        plain.push_back(std::move(source.row));
    try {
        table.setAllRows(std::move(plain));
    } catch (const TableError &e) { // the checks above should have caught it
        m_errors << label + QStringLiteral(": ") + e.message();
        return false;
    }
    return true;
}

void PlanImport::takeFileErrors()
{
    // Each file's problems in line order.
    std::stable_sort(m_fileErrors.begin(), m_fileErrors.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[line, text] : m_fileErrors)
        m_errors << text;
    m_fileErrors.clear();
}

void PlanImport::readFile(const QString &path, const Table &table, std::vector<SourceRow> &rows)
{
    // Only a regular file, up to the bound: a named pipe or a device named
    // items.csv is refused, never waited on or read without end.
    const RegularFile::Contents file = RegularFile::read(path, kMaxFileSize);
    if (file.status == RegularFile::Status::TooLarge) {
        error(path, 0, {}, tooLargeText(std::max(file.size, kMaxFileSize + 1), kMaxFileSize));
        return;
    }
    if (!file.ok()) {
        error(path, 0, {}, file.reason);
        return;
    }
    readData(path, file.bytes, table, rows);
}

void PlanImport::readData(const QString &path, const QByteArray &data, const Table &table, std::vector<SourceRow> &rows)
{
    if (data.size() > kMaxFileSize) {
        error(path, 0, {}, tooLargeText(data.size(), kMaxFileSize));
        return;
    }
    std::vector<Csv::Record> records;
    Csv::ParseError parseError;
    if (!Csv::parse(data, records, parseError)) {
        error(path, parseError.line, {}, parseError.message);
        return;
    }

    const QList<FieldDef> &fields = table.fields();
    const QString expected = headerText(fields);
    if (records.empty()) {
        error(path, 1, {}, QStringLiteral("the header row is missing; it must be %1").arg(expected));
        return;
    }
    const Csv::Record &header = records.front();
    QStringList found;
    for (const Csv::Cell &cell : header.cells)
        found << cell.text;
    if (found.join(u',') != expected || header.cells.size() != fields.size()) {
        error(path, header.line, {},
              QStringLiteral("the header row is '%1'; it must be %2").arg(found.join(u','), expected));
        return;
    }

    for (size_t r = 1; r < records.size(); ++r) {
        const Csv::Record &record = records[r];
        if (record.cells.size() != fields.size()) {
            error(path, record.line, {},
                  QStringLiteral("%1 cells where the header has %2").arg(record.cells.size()).arg(fields.size()));
            continue;
        }
        Table::Row row(fields.size());
        bool readable = true;
        for (qsizetype f = 0; f < fields.size(); ++f) {
            QString problem = PlanCsv::valueFor(fields.at(f), record.cells.at(f), row[f]);
            if (!problem.isEmpty())
                readable = false;
            else
                problem = PlanValues::problem(table.name(), fields.at(f), row.at(f));
            if (!problem.isEmpty())
                error(path, record.line, fields.at(f).name, problem);
        }
        if (readable) // for the key check
            rows.push_back({record.line, std::move(row)});
    }
}

void PlanImport::checkKeys(const QString &path, const Table &table, const std::vector<SourceRow> &rows)
{
    if (!table.hasUniqueKey())
        return;
    // Keys are equal when their texts are exactly equal, as in the table.
    QHash<QStringList, int> firstLine;
    for (const SourceRow &source : rows) {
        QStringList key;
        for (int f : table.orderFieldIndexes())
            key << source.row.at(f).toString();
        const auto it = firstLine.constFind(key);
        if (it == firstLine.constEnd()) {
            firstLine.insert(key, source.line);
            continue;
        }
        // Named by the last key field that is not the kind letter: the item
        // of an item, the name of a category.
        QString field;
        for (int f : table.orderFieldIndexes()) {
            const QString &name = table.fields().at(f).name;
            if (name != QLatin1String("catid") && name != QLatin1String("cat_id"))
                field = name;
        }
        error(path, source.line, field,
              QStringLiteral("%1 is already on line %2").arg(describeKey(table, source.row)).arg(*it));
    }
}

void PlanImport::warnAboutCategories(const QString &path, const std::vector<SourceRow> &items,
                                     const std::vector<SourceRow> &categories)
{
    const QList<FieldDef> itemFields = Plan::itemFields();
    const int item = fieldPosition(itemFields, "item");
    const int cat = fieldPosition(itemFields, "cat");
    const int kind = fieldPosition(itemFields, "catid");
    const QList<FieldDef> categoryFields = Plan::categoryFields();
    const int categoryName = fieldPosition(categoryFields, "cat");
    const int categoryKind = fieldPosition(categoryFields, "catid");

    QSet<QStringList> known;
    for (const SourceRow &source : categories)
        known.insert({source.row.at(categoryName).toString(), source.row.at(categoryKind).toString()});
    for (const SourceRow &source : items) {
        if (known.contains({source.row.at(cat).toString(), source.row.at(kind).toString()}))
            continue;
        m_warnings << QStringLiteral("%1:%2: warning: the category '%3' (%4) of item '%5' is not in "
                                     "categories.csv; the item counts in the totals but shows under no category")
                          .arg(path)
                          .arg(source.line)
                          .arg(source.row.at(cat).toString(), source.row.at(kind).toString(),
                               source.row.at(item).toString());
    }
}
