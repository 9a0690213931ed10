#pragma once
#include "plan/Table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class Plan;

// Reads the CSV files of a folder (items.csv, categories.csv, savings.csv,
// loans.csv, reminders.csv; a missing file is an empty table) and checks every
// row before the plan is touched: the header, the number of cells, every value
// against its field's type and width, frequency names, kind letters, days and
// months of reminders, and the unique keys of items and categories. Each
// problem is reported as "FILE:LINE: field 'NAME': what is wrong".
class PlanImport
{
public:
    // True when every file is good; the plan's tables then hold the rows.
    // On false the plan is unchanged and errors() tells why.
    bool read(const QString &folder, Plan &plan);

    // Reads and checks the bytes of one CSV file for `table` as read() does
    // each file of a folder; `label` stands for the file's path in messages.
    // True when the file is good; the table then holds its rows. On false the
    // table is unchanged and errors() tells why.
    bool readTable(const QString &label, const QByteArray &data, Table &table);

    // Larger CSV files are refused unread: no real plan comes near it.
    static constexpr qint64 kMaxFileSize = qint64(256) << 20;

    const QStringList &errors() const { return m_errors; }
    // The errors as they are shown to a person: the first twenty, enough to
    // show the pattern of what is wrong, then "... and N more problems".
    QStringList shownErrors() const;
    // Things that are allowed but probably not meant (an item whose category
    // is not among the categories).
    const QStringList &warnings() const { return m_warnings; }

private:
    struct SourceRow
    {
        int line;
        Table::Row row;
    };

    // Reads and checks one file; `rows` receives the rows whose every value
    // could be read, for the key check.
    void readFile(const QString &path, const Table &table, std::vector<SourceRow> &rows);
    void readData(const QString &path, const QByteArray &data, const Table &table, std::vector<SourceRow> &rows);
    // Moves the file's problems, in line order, to errors().
    void takeFileErrors();
    void checkKeys(const QString &path, const Table &table, const std::vector<SourceRow> &rows);
    void warnAboutCategories(const QString &path, const std::vector<SourceRow> &items,
                             const std::vector<SourceRow> &categories);
    void error(const QString &path, int line, const QString &field, const QString &message);

    QStringList m_errors;
    std::vector<std::pair<int, QString>> m_fileErrors; // line, text: the file being read
    QStringList m_warnings;
};
