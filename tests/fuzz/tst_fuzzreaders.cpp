// Replays the corpora of the CSV import, initialisation-file and list-file
// fuzzers through the fuzzers' own entries, so every input they ever found
// stays handled; and the readers' limits on what they read. CSV seed names say
// what is expected: "ok-" imports, "bad-" is refused.
#include "fuzz_readers.h"
#include "TestFiles.h"
#include "plan/PlanCsv.h"
#include "plan/PlanImport.h"
#include "plan/IniFile.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(FuzzOutcome)

namespace {

using Entry = FuzzOutcome (*)(const uint8_t *, size_t);

QDir corpus(const QString &reader)
{
    return QDir(QStringLiteral(PURSEKEEP_TEST_DATA "/fuzz-corpus-") + reader);
}

// A file of `size` bytes that takes no room on disk: `head`, then zeros.
void writeSparse(const QString &path, const QByteArray &head, qint64 size)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(head), head.size());
    QVERIFY(f.resize(size));
}

FuzzOutcome run(Entry entry, const QByteArray &input)
{
    return entry(reinterpret_cast<const uint8_t *>(input.constData()), static_cast<size_t>(input.size()));
}

} // namespace

class tst_FuzzReaders : public QObject
{
    Q_OBJECT

private slots:
    void corpusInput_data();
    void corpusInput();
    void csvSeedsImportForEveryTable();

    void oneFileReportsAsTheFolderImport_data();
    void oneFileReportsAsTheFolderImport();
    void oneFileRefusedLeavesTheTable();

    void filesFarTooLargeAreNotRead();

    void listFileReadsOverOneByteOrderMark_data();
    void listFileReadsOverOneByteOrderMark();
};

void tst_FuzzReaders::corpusInput_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("path");
    for (const QString reader : {"csv", "ini", "list"}) {
        const QFileInfoList files = corpus(reader).entryInfoList(QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), qPrintable(reader));
        for (const QFileInfo &fi : files)
            QTest::newRow(qPrintable(reader + u'/' + fi.fileName())) << reader << fi.filePath();
    }
}

void tst_FuzzReaders::corpusInput()
{
    QFETCH(QString, reader);
    QFETCH(QString, path);
    const QByteArray input = readAll(path);
    const QString name = QFileInfo(path).fileName();

    if (reader == QLatin1String("ini")) {
        QCOMPARE(run(pursekeepFuzzIniOutcome, input), FuzzOutcome::Loaded);
    } else if (reader == QLatin1String("list")) {
        QCOMPARE(run(pursekeepFuzzListOutcome, input), FuzzOutcome::Loaded);
    } else {
        const FuzzOutcome outcome = run(pursekeepFuzzCsvOutcome, input);
        if (name.startsWith(QLatin1String("ok-")))
            QCOMPARE(outcome, FuzzOutcome::Loaded);
        else if (name.startsWith(QLatin1String("bad-")))
            QCOMPARE(outcome, FuzzOutcome::Refused);
    }
}

// The fuzzer mutates from good files of every table.
void tst_FuzzReaders::csvSeedsImportForEveryTable()
{
    QSet<int> tables;
    const QFileInfoList files = corpus("csv").entryInfoList({QStringLiteral("ok-*")}, QDir::Files);
    for (const QFileInfo &fi : files) {
        const QByteArray input = readAll(fi.filePath());
        if (input.count('\n') + input.count('\r') > 1) // rows beyond the header
            tables.insert(static_cast<unsigned char>(input.at(0)) % PlanCsv::tableFiles().size());
    }
    QCOMPARE(tables.size(), PlanCsv::tableFiles().size());
}

void tst_FuzzReaders::oneFileReportsAsTheFolderImport_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("errors"); // after "FILE:"

    const QByteArray items = "item,freq,amount,cat,catid,notes\r\nRent,Monthly,800,Home,E,\r\n";
    QTest::newRow("items in line order")
        << 0 << items + "Rent,Weekly,x,Home,E,\r\nRent,Weekly,1,Home,E,\r\n"
        << QStringList{"3: field 'amount': 'x' is not a number (write it with a decimal point, such as 1234.50)",
                       "4: field 'item': the item 'Rent' in category 'Home' (E) is already on line 2"};
    QTest::newRow("reminders") << 4 << QByteArray("cat_id,cat,item,dom,desc,month\nE,Home,Rent,0,Pay,\n")
                               << QStringList{"2: field 'dom': 0 is not a day of the month; give 1 to 31",
                                              "2: field 'month': the month is missing; give 1 to 12"};
    QTest::newRow("no header") << 1 << QByteArray("\r\n\r\n")
                               << QStringList{"1: the header row is missing; it must be cat,catid"};
}

// The entry the fuzzer drives is the import's own reading of a file.
void tst_FuzzReaders::oneFileReportsAsTheFolderImport()
{
    QFETCH(int, table);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, errors);
    const PlanCsv::TableFile &file = PlanCsv::tableFiles().at(table);
    QTemporaryDir dir;
    const QString path = dir.filePath(file.csvName);
    writeFile(path, content);

    QStringList expected;
    for (const QString &e : errors)
        expected << path + u':' + e;
    Plan fromFolder;
    PlanImport folderImport;
    QVERIFY(!folderImport.read(dir.path(), fromFolder));
    QCOMPARE(folderImport.errors(), expected);

    Plan fromBytes;
    PlanImport import;
    QVERIFY(!import.readTable(path, content, file.table(fromBytes)));
    QCOMPARE(import.errors(), expected);
}

void tst_FuzzReaders::oneFileRefusedLeavesTheTable()
{
    Plan plan;
    PlanImport import;
    QVERIFY(import.readTable("categories.csv", "cat,catid\nHome,E\nWork,I\n", plan.categories()));
    QCOMPARE(plan.categories().allRows().size(), size_t(2));
    QVERIFY(!import.readTable("categories.csv", "cat,catid\nHome,E\nHome,E\n", plan.categories()));
    QCOMPARE(plan.categories().allRows().size(), size_t(2));
    QCOMPARE(PlanCsv::tableText(plan.categories()), QString("cat,catid\r\nHome,E\r\nWork,I\r\n"));
}

// A file far larger than any real one is refused unread, not read into
// memory. Sparse files, so the test costs no disk.
void tst_FuzzReaders::filesFarTooLargeAreNotRead()
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("items.csv");
    writeSparse(csv, "item,freq,amount,cat,catid,notes\n", PlanImport::kMaxFileSize + 1);
    Plan plan;
    PlanImport import;
    QVERIFY(!import.read(dir.path(), plan));
    QCOMPARE(import.errors(),
             QStringList{QStringLiteral("%1: is %2 bytes long, too large to import (at most %3)")
                             .arg(csv)
                             .arg(PlanImport::kMaxFileSize + 1)
                             .arg(PlanImport::kMaxFileSize)});

    const QString ini = dir.filePath("cfgpk.ini");
    writeSparse(ini, "[FreqValue]\r\n0=3\r\n", IniFile::kMaxFileSize);
    QCOMPARE(IniFile::read(ini, "FreqValue", "0", "ERROR"), QString("3")); // at the limit, read
    writeSparse(ini, "[FreqValue]\r\n0=3\r\n", IniFile::kMaxFileSize + 1);
    QCOMPARE(IniFile::read(ini, "FreqValue", "0", "ERROR"), QString("ERROR"));
    QVERIFY(!IniFile(ini).load());

    const QString list = dir.filePath("incitems.txt");
    writeSparse(list, "Rent\r\n", ListFile::kMaxFileSize + 1);
    QVERIFY(!ListFile::load(list).has_value());
    QCOMPARE(ListFile::read(list), QStringList());
}

void tst_FuzzReaders::listFileReadsOverOneByteOrderMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    const QString bom(QChar(0xFEFF));
    QTest::newRow("none") << QByteArray("Rent\r\nGas") << QStringList{"Rent", "Gas"};
    QTest::newRow("one") << QByteArray("\xEF\xBB\xBFRent\r\n") << QStringList{"Rent"};
    QTest::newRow("an entry starting with one")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFRent\r\n\xEF\xBB\xBFGas\r\n") << QStringList{bom + "Rent", bom + "Gas"};
    QTest::newRow("only the mark") << QByteArray("\xEF\xBB\xBF") << QStringList();
    QTest::newRow("Latin-1") << QByteArray("\xEF\xBB\xBF\xE9\r\n")
                             << QStringList{QString::fromLatin1("\xEF\xBB\xBF\xE9")};
}

void tst_FuzzReaders::listFileReadsOverOneByteOrderMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(ListFile::parse(bytes), entries);
    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    writeFile(path, bytes);
    QCOMPARE(ListFile::load(path), std::optional<QStringList>(entries));
}

QTEST_GUILESS_MAIN(tst_FuzzReaders)
#include "tst_fuzzreaders.moc"
