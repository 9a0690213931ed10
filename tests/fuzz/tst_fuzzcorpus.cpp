// Replays the packet fuzzer's corpus through the fuzzer's own entry, so every
// input it ever found stays handled. Seed names say what is expected (see
// seed_corpus.cpp): "ok-" loads, "bad-" is refused.
#include "SamplePlan.h"
#include "fuzz_entry.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtTest>

Q_DECLARE_METATYPE(FuzzOutcome)

class tst_FuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpusInput_data();
    void corpusInput();
    void seedsLoadForEveryTable();

private:
    static QDir corpus() { return QDir(QStringLiteral(PURSEKEEP_TEST_DATA "/fuzz-corpus")); }
};

void tst_FuzzCorpus::corpusInput_data()
{
    QTest::addColumn<QString>("path");
    const QFileInfoList files = corpus().entryInfoList(QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QFileInfo &fi : files)
        QTest::newRow(qPrintable(fi.fileName())) << fi.filePath();
}

void tst_FuzzCorpus::corpusInput()
{
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray input = f.readAll();
    const QString name = QFileInfo(path).fileName();

    const FuzzOutcome outcome =
        pursekeepFuzzOutcome(reinterpret_cast<const uint8_t *>(input.constData()), static_cast<size_t>(input.size()));
    if (name.startsWith(QLatin1String("ok-")))
        QCOMPARE(outcome, FuzzOutcome::Loaded);
    else if (name.startsWith(QLatin1String("bad-")))
        QCOMPARE(outcome, FuzzOutcome::Refused);
}

// The fuzzer mutates from valid packets of every table.
void tst_FuzzCorpus::seedsLoadForEveryTable()
{
    QSet<int> tables;
    const QFileInfoList files = corpus().entryInfoList({QStringLiteral("ok-*")}, QDir::Files);
    for (const QFileInfo &fi : files) {
        QFile f(fi.filePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray input = f.readAll();
        if (!input.isEmpty() && input.size() > 24)
            tables.insert(static_cast<unsigned char>(input.at(0)) % fuzzTableNames().size());
    }
    QCOMPARE(tables.size(), fuzzTableNames().size());
}

QTEST_GUILESS_MAIN(tst_FuzzCorpus)
#include "tst_fuzzcorpus.moc"
