// Damaged plan files: every truncation, every byte flipped, lengths and
// counts made huge, and a fixed-seed set of random edits of valid files of
// all five tables. Each load either succeeds or is refused with a
// FileFormatError naming the file, and a refused load leaves the table as it
// was. Anything else escaping (TableError, bad_alloc) fails the test.
#include "SamplePlan.h"
#include "TestFiles.h"
#include "plan/DataPacket.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Variant
{
    QString what;
    QByteArray bytes;
    bool mustRefuse = false;
};

QByteArray withValueAt(QByteArray data, qsizetype pos, quint32 value, int width)
{
    for (int i = 0; i < width && pos + i < data.size(); ++i)
        data[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

QList<Variant> truncations(const QByteArray &packet)
{
    QList<Variant> out;
    for (qsizetype len = 0; len < packet.size(); ++len)
        out.append({QStringLiteral("cut to %1 bytes").arg(len), packet.left(len), true});
    return out;
}

QList<Variant> flips(const QByteArray &packet)
{
    QList<Variant> out;
    for (qsizetype pos = 0; pos < packet.size(); ++pos) {
        QByteArray b = packet;
        b[pos] = static_cast<char>(b[pos] ^ 0xFF);
        out.append({QStringLiteral("byte %1 flipped").arg(pos), b});
    }
    return out;
}

// Every 16- and 32-bit position set to values that, read as a length or a
// count, run far past the end.
QList<Variant> hugeValues(const QByteArray &packet)
{
    QList<Variant> out;
    for (qsizetype pos = 0; pos < packet.size(); ++pos) {
        for (quint32 v : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u})
            out.append({QStringLiteral("0x%1 at byte %2").arg(v, 0, 16).arg(pos), withValueAt(packet, pos, v, 4)});
        out.append({QStringLiteral("0xffff at byte %1").arg(pos), withValueAt(packet, pos, 0xFFFF, 2)});
    }
    return out;
}

// Random overwrites, insertions, deletions and repeated spans (a repeated
// row makes a duplicate key), the same every run.
QList<Variant> randomEdits(const QByteArray &packet, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<Variant> out;
    for (int n = 0; n < 300; ++n) {
        QByteArray b = packet;
        const int edits = 1 + rng.bounded(4);
        for (int e = 0; e < edits && !b.isEmpty(); ++e) {
            const qsizetype pos = rng.bounded(static_cast<int>(b.size()));
            const int len = 1 + rng.bounded(16);
            switch (rng.bounded(4)) {
            case 0:
                for (int i = 0; i < len && pos + i < b.size(); ++i)
                    b[pos + i] = static_cast<char>(rng.bounded(256));
                break;
            case 1: {
                QByteArray chunk(len, '\0');
                for (char &c : chunk)
                    c = static_cast<char>(rng.bounded(256));
                b.insert(pos, chunk);
                break;
            }
            case 2: b.remove(pos, len); break;
            case 3: b.insert(pos, b.mid(pos, len * 8)); break;
            }
        }
        out.append({QStringLiteral("random edit %1").arg(n), b});
    }
    return out;
}

QByteArray packetOf(const Table &table)
{
    return DataPacket::write(table);
}

// A table file of `tableName` holding the same row twice: a valid packet
// that the table's unique key refuses.
QByteArray duplicateKeyPacket(const QString &tableName)
{
    const bool items = tableName == QLatin1String("cds_budget");
    Table loose(tableName, items ? Plan::itemFields() : Plan::categoryFields());
    const Table::Row row =
        items ? Table::Row{"Rent", "Monthly", 900.0, "Home", "E", QVariant()} : Table::Row{"Home", "E"};
    loose.appendRow(row);
    loose.appendRow(row);
    return packetOf(loose);
}

QString tableFile(const QString &planFile, const QString &tableName)
{
    if (tableName == QLatin1String("cds_cat"))
        return PlanFiles::categoriesFile(planFile);
    if (tableName == QLatin1String("cds_savings"))
        return PlanFiles::savingsFile(planFile);
    if (tableName == QLatin1String("cds_loans"))
        return PlanFiles::loansFile(planFile);
    if (tableName == QLatin1String("cds_remind"))
        return PlanFiles::remindersFile(planFile);
    return planFile;
}

QList<QByteArray> planPackets(const Plan &plan)
{
    return {packetOf(plan.items()), packetOf(plan.loans()), packetOf(plan.savings()), packetOf(plan.categories()),
            packetOf(plan.reminders())};
}

} // namespace

class tst_Corruption : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedTableFile_data();
    void damagedTableFile();
    void damagedSiblingLeavesPlanUnchanged_data();
    void damagedSiblingLeavesPlanUnchanged();

private:
    QTemporaryDir m_dir;
    Plan m_sample;
};

void tst_Corruption::initTestCase()
{
    QVERIFY(m_dir.isValid());
    fillSamplePlan(m_sample);
}

void tst_Corruption::damagedTableFile_data()
{
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<int>("damage");
    const char *damages[] = {"truncated", "flipped", "huge values", "random edits"};
    for (const QString &name : fuzzTableNames())
        for (int d = 0; d < 4; ++d)
            QTest::addRow("%s %s", qPrintable(name), damages[d]) << name << d;
}

void tst_Corruption::damagedTableFile()
{
    QFETCH(QString, tableName);
    QFETCH(int, damage);

    Table &table = planTable(m_sample, tableName);
    QVERIFY(table.totalRowCount() >= 3);
    const std::vector<Table::Row> original = table.allRows();
    const QByteArray packet = packetOf(table);
    QList<Variant> variants;
    switch (damage) {
    case 0: variants = truncations(packet); break;
    case 1: variants = flips(packet); break;
    case 2: variants = hugeValues(packet); break;
    default: variants = randomEdits(packet, 20240601u + static_cast<quint32>(tableName.size())); break;
    }

    // The reader sees every variant; what it accepts is loaded from a file
    // as the program loads it, where the table's key has its say too.
    const QString path = m_dir.filePath(QStringLiteral("damaged.pkb"));
    int refused = 0;
    for (const Variant &v : variants) {
        const QString where = tableName + QStringLiteral(", ") + v.what;
        try {
            DataPacket::read(v.bytes, table, path);
            rewriteFile(path, v.bytes);
            PlanFiles::loadTable(table, path);
        } catch (const FileFormatError &e) {
            ++refused;
            if (e.fileName() != path || !e.message().contains(path))
                QFAIL(qPrintable(where + QStringLiteral(": the message does not name the file: ") + e.message()));
            if (packetOf(table) != packet)
                QFAIL(qPrintable(where + QStringLiteral(": a refused file changed the table")));
            continue;
        } catch (const std::exception &e) {
            QFAIL(qPrintable(where + QStringLiteral(": escaped other than FileFormatError: ")
                             + QString::fromUtf8(e.what())));
        }
        if (v.mustRefuse)
            QFAIL(qPrintable(where + QStringLiteral(": loaded although part of the file is missing")));
        // What was accepted is a plan the program can save and read back.
        const QByteArray saved = packetOf(table);
        std::unique_ptr<Table> again(Plan::createTable(tableName));
        again->setAllRows(DataPacket::read(saved, *again, path));
        if (packetOf(*again) != saved)
            QFAIL(qPrintable(where + QStringLiteral(": the loaded rows do not survive a save")));
        table.setAllRows(original);
    }
    QVERIFY(refused > 0);
}

void tst_Corruption::damagedSiblingLeavesPlanUnchanged_data()
{
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<QString>("damage");
    for (const QString &name : fuzzTableNames()) {
        QTest::addRow("%s truncated", qPrintable(name)) << name << "truncated";
        QTest::addRow("%s not a packet", qPrintable(name)) << name << "not a packet";
        QTest::addRow("%s other table", qPrintable(name)) << name << "other table";
    }
    QTest::newRow("cds_budget duplicate key") << "cds_budget"
                                              << "duplicate key";
    QTest::newRow("cds_cat duplicate key") << "cds_cat"
                                           << "duplicate key";
}

void tst_Corruption::damagedSiblingLeavesPlanUnchanged()
{
    QFETCH(QString, tableName);
    QFETCH(QString, damage);

    QTemporaryDir dir;
    const QString planFile = dir.filePath(QStringLiteral("home.pkb"));
    PlanFiles::savePlanTables(m_sample, planFile);

    // The intact family loads as saved.
    Plan check;
    PlanFiles::loadPlan(check, planFile);
    QCOMPARE(planPackets(check), planPackets(m_sample));

    const QString bad = tableFile(planFile, tableName);
    const QByteArray good = packetOf(planTable(m_sample, tableName));
    QByteArray damaged;
    if (damage == QLatin1String("truncated"))
        damaged = good.left(good.size() - 7);
    else if (damage == QLatin1String("not a packet"))
        damaged = "[freqvalue]\r\n0=2\r\n";
    else if (damage == QLatin1String("other table"))
        damaged = packetOf(tableName == QLatin1String("cds_budget") ? m_sample.reminders() : m_sample.items());
    else
        damaged = duplicateKeyPacket(tableName);
    rewriteFile(bad, damaged);

    Plan plan;
    plan.items().appendRow({"Bus pass", "Monthly", 60.0, "Travel", "E", "kept"});
    plan.categories().appendRow({"Travel", "E"});
    plan.savings().appendRow(
        {"Bike", 800.0, QDateTime(QDate(2024, 1, 1), QTime()), QDateTime(QDate(2024, 12, 1), QTime()), "Weekly", 16.0});
    plan.loans().appendRow({"Sofa", "Shop", 1200.0, 50.0, "Monthly", QVariant(), 24, QVariant(), 9.9});
    plan.reminders().appendRow({"E", "Travel", "Bus pass", 1, "Renew", 1});
    const QList<QByteArray> before = planPackets(plan);

    try {
        PlanFiles::loadPlan(plan, planFile);
        QFAIL("the damaged file was accepted");
    } catch (const FileFormatError &e) {
        QCOMPARE(e.fileName(), bad);
        QVERIFY2(e.message().contains(bad), qPrintable(e.message()));
    }
    QCOMPARE(planPackets(plan), before);
}

QTEST_GUILESS_MAIN(tst_Corruption)
#include "tst_corruption.moc"
