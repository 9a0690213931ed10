// Writes the seed inputs of the packet fuzzer into the folder given on the
// command line (tests/data/fuzz-corpus): a valid packet of every table, full
// and empty, and a few damaged ones. The first byte of each input picks the
// table. Names tell the corpus replay what to expect: "ok-" must load,
// "bad-" must be refused; any other name (inputs the fuzzer found) must just
// be handled.
#include "SamplePlan.h"
#include "plan/DataPacket.h"
#include "plan/Plan.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>

namespace {

bool writeInput(const QDir &dir, const QString &name, int tableIndex, const QByteArray &packet)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(QByteArray(1, static_cast<char>(tableIndex)) + packet) == packet.size() + 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_corpus FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        return 1;

    Plan sample;
    fillSamplePlan(sample);
    const QStringList tables = fuzzTableNames();
    const QStringList shortNames = {"items", "categories", "savings", "loans", "reminders"};
    bool ok = true;
    for (int t = 0; t < tables.size(); ++t) {
        const Table &table = planTable(sample, tables.at(t));
        const QByteArray full = DataPacket::write(table);
        std::unique_ptr<Table> empty(Plan::createTable(tables.at(t)));
        const QString s = shortNames.at(t);
        ok &= writeInput(dir, "ok-" + s + "-sample", t, full);
        ok &= writeInput(dir, "ok-" + s + "-empty", t, DataPacket::write(*empty));
        ok &= writeInput(dir, "bad-" + s + "-truncated", t, full.left(full.size() - 3));
        QByteArray rows = full;
        qToLittleEndian<quint32>(0xFFFFFFFFu, rows.data() + 14);
        ok &= writeInput(dir, "bad-" + s + "-rowcount", t, rows);
    }
    // The items packet read as the categories table.
    ok &= writeInput(dir, "bad-items-as-categories", 1, DataPacket::write(sample.items()));
    // Two equal keys.
    Table loose("cds_budget", Plan::itemFields());
    loose.appendRow({"Rent", "Monthly", 900.0, "Home", "E", QVariant()});
    loose.appendRow({"Rent", "Monthly", 900.0, "Home", "E", QVariant()});
    ok &= writeInput(dir, "bad-items-duplicate-key", 0, DataPacket::write(loose));
    // Values no plan holds: a frequency nobody knows, an amount past the
    // editors' twelve digits.
    Table odd("cds_budget", Plan::itemFields());
    odd.appendRow({"Rent", "Bogus", 900.0, "Home", "E", QVariant()});
    ok &= writeInput(dir, "bad-items-unknown-frequency", 0, DataPacket::write(odd));
    odd.clear();
    odd.appendRow({"Rent", "Monthly", 1e308, "Home", "E", QVariant()});
    ok &= writeInput(dir, "bad-items-huge-amount", 0, DataPacket::write(odd));
    return ok ? 0 : 1;
}
