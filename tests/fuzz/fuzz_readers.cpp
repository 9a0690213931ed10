#include "fuzz_readers.h"
#include "plan/PlanCsv.h"
#include "plan/PlanImport.h"
#include "plan/IniFile.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"

#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fault(const char *reader, const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "%s: %s %s\n", reader, what, qPrintable(detail));
    std::abort();
}

QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// "FILE:LINE: [field 'NAME': ]what", LINE within the input, NAME a field of
// the table.
void checkImportMessage(const QString &message, const QString &fileName, const Table &table, const QByteArray &csv)
{
    static const QRegularExpression form(QStringLiteral("^([^:]+):(\\d+): (?:field '([^']*)': )?(.+)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = form.match(message);
    if (!m.hasMatch() || m.captured(1) != fileName || m.captured(4).trimmed().isEmpty())
        fault("fuzz_csvimport", "a message does not say FILE:LINE: what:", message);
    const qsizetype lines = csv.count('\n') + csv.count('\r') - csv.count("\r\n") + 1;
    const qsizetype line = m.captured(2).toLongLong();
    if (line < 1 || line > lines)
        fault("fuzz_csvimport", "a message names a line the file does not have:", message);
    if (m.hasCaptured(3) && table.fieldIndex(m.captured(3)) < 0)
        fault("fuzz_csvimport", "a message names a field the table does not have:", message);
}

} // namespace

FuzzOutcome pursekeepFuzzCsvOutcome(const uint8_t *data, size_t size)
{
    if (size == 0)
        return FuzzOutcome::NoInput;
    const QList<PlanCsv::TableFile> &files = PlanCsv::tableFiles();
    const PlanCsv::TableFile &file = files.at(data[0] % files.size());
    const QByteArray csv = inputBytes(data + 1, size - 1);

    Plan plan;
    Table &table = file.table(plan);
    PlanImport import;
    if (!import.readTable(file.csvName, csv, table)) {
        if (import.errors().isEmpty())
            fault("fuzz_csvimport", "a file is refused without a message");
        for (const QString &message : import.errors())
            checkImportMessage(message, file.csvName, table, csv);
        if (!table.allRows().empty())
            fault("fuzz_csvimport", "a refused file leaves rows in", table.name());
        return FuzzOutcome::Refused;
    }

    // What imports exports as CSV that imports to the same table.
    const QString text = PlanCsv::tableText(table);
    Plan again;
    Table &copy = file.table(again);
    PlanImport second;
    if (!second.readTable(file.csvName, text.toUtf8(), copy))
        fault("fuzz_csvimport", "an imported table does not import again after export:", second.errors().join(u'\n'));
    if (PlanCsv::tableText(copy) != text)
        fault("fuzz_csvimport", "an imported table changes when exported and imported again in", table.name());
    return FuzzOutcome::Loaded;
}

FuzzOutcome pursekeepFuzzIniOutcome(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    IniFile ini(QStringLiteral("fuzz.ini")); // never loaded or saved
    ini.parse(bytes);
    const QString text = QString::fromUtf8(bytes);
    const QString missing = QStringLiteral("\n(missing)");

    // The program's own key, then every name that looks like a section or a
    // key, each with every section (the first few of each).
    QStringList sections{QStringLiteral("freqvalue")};
    QStringList keys{QStringLiteral("0")};
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString &line : text.split(lineEnd)) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[') && t.contains(u']') && sections.size() < 8)
            sections << t.mid(1, t.indexOf(u']') - 1).trimmed();
        else if (line.contains(u'=') && keys.size() < 8)
            keys << line.left(line.indexOf(u'=')).trimmed();
    }
    for (const QString &section : sections) {
        for (const QString &key : keys) {
            const QString value = ini.readString(section, key, missing);
            if (value == missing)
                continue;
            if (value.contains(u'\r') || value.contains(u'\n'))
                fault("fuzz_inifile", "a value holds a line end:", value);
            if (!text.contains(value))
                fault("fuzz_inifile", "a value is not in the file:", value);
            const QString upper = section.toUpper();
            const QString lower = key.toLower();
            if (upper.compare(section, Qt::CaseInsensitive) == 0 && lower.compare(key, Qt::CaseInsensitive) == 0
                && ini.readString(upper, lower, missing) != value)
                fault("fuzz_inifile", "names match with regard to case:", section + u'/' + key);
        }
    }
    // A section no file line can name.
    if (ini.readString(QStringLiteral("no\nsection"), QStringLiteral("0"), missing) != missing)
        fault("fuzz_inifile", "a missing section gives a value");
    return FuzzOutcome::Loaded;
}

FuzzOutcome pursekeepFuzzListOutcome(const uint8_t *data, size_t size)
{
    const QStringList entries = ListFile::parse(inputBytes(data, size));
    QByteArray written;
    for (const QString &entry : entries) {
        if (entry.contains(u'\r') || entry.contains(u'\n'))
            fault("fuzz_listfile", "an entry holds a line end:", entry);
        written += entry.toUtf8() + "\r\n";
    }
    // A byte-order mark is read over once, whatever follows it.
    if (ListFile::parse("\xEF\xBB\xBF" + written) != entries)
        fault("fuzz_listfile", "entries change when written with a byte-order mark and read again");
    if ((entries.isEmpty() || !entries.first().startsWith(QChar(0xFEFF))) && ListFile::parse(written) != entries)
        fault("fuzz_listfile", "entries change when written and read again");
    return FuzzOutcome::Loaded;
}

int pursekeepFuzzCsvImport(const uint8_t *data, size_t size)
{
    pursekeepFuzzCsvOutcome(data, size);
    return 0;
}

int pursekeepFuzzIniFile(const uint8_t *data, size_t size)
{
    pursekeepFuzzIniOutcome(data, size);
    return 0;
}

int pursekeepFuzzListFile(const uint8_t *data, size_t size)
{
    pursekeepFuzzListOutcome(data, size);
    return 0;
}
