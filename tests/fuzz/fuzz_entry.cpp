#include "fuzz_entry.h"
#include "SamplePlan.h"
#include "plan/CategoryTree.h"
#include "plan/DataPacket.h"
#include "plan/Plan.h"
#include "plan/PlanTotals.h"
#include "plan/PlanValues.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

[[noreturn]] void fault(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_datapacket: %s %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

FuzzOutcome pursekeepFuzzOutcome(const uint8_t *data, size_t size)
{
    if (size == 0)
        return FuzzOutcome::NoInput;
    const QStringList names = fuzzTableNames();
    const QString name = names.at(data[0] % names.size());
    const QString fileName = QStringLiteral("fuzz.pkb");
    const QByteArray packet =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    Plan plan;
    Table &table = planTable(plan, name);
    std::vector<Table::Row> rows;
    try {
        rows = DataPacket::read(packet, table, fileName);
    } catch (const FileFormatError &e) {
        if (!e.message().contains(fileName))
            fault("the refusal does not name the file:", e.message());
        return FuzzOutcome::Refused;
    }
    try {
        // Loading a plan file reports these (a duplicate key, a value the
        // field cannot hold, a value no plan holds) as a bad file.
        table.setAllRows(std::move(rows));
    } catch (const TableError &) {
        return FuzzOutcome::Refused;
    }
    if (PlanValues::firstProblem(table).found()) {
        table.clear();
        return FuzzOutcome::Refused;
    }

    // Whatever loads is usable and survives a save.
    const PlanTotals totals =
        computePlanTotals(plan, QStringLiteral("Monthly"), QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    (void)totals;
    (void)categoryTreeData(plan);
    table.first();
    while (!table.atEnd())
        table.next();

    const QByteArray saved = DataPacket::write(table);
    std::unique_ptr<Table> copy(Plan::createTable(name));
    try {
        copy->setAllRows(DataPacket::read(saved, *copy, fileName));
    } catch (const std::exception &e) {
        fault("a loaded table does not load again after saving:", QString::fromUtf8(e.what()));
    }
    if (DataPacket::write(*copy) != saved)
        fault("a loaded table changes when saved and loaded again in", name);
    return FuzzOutcome::Loaded;
}

int pursekeepFuzzDataPacket(const uint8_t *data, size_t size)
{
    pursekeepFuzzOutcome(data, size);
    return 0;
}
