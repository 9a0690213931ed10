// The plan core at large sizes: opening and saving a plan of 100,000 items,
// and the everyday actions on a plan of 10,000 items, 1,000 categories and
// 50,000 reminders (totals, a filter change, the category trees, moving the
// items cursor with the reminders following it). BM_LoadedPlanMemory reports
// the memory a loaded 100,000-item plan takes (plan_MB) and the peak while
// loading it (peak_MB), from /proc/self/status.
#include "BenchPlans.h"
#include "plan/CategoryTree.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanTotals.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace BenchPlans;

// A plan of 10,000 items, 1,000 categories and 50,000 reminders.
Plan &largePlan()
{
    static Plan *plan = [] {
        auto *p = new Plan;
        fillPlan(*p, 10000, 1000, 5);
        return p;
    }();
    return *plan;
}

// 100,000 items in 1,000 categories, saved once.
struct SavedPlan
{
    QTemporaryDir dir;
    Plan plan;
    QString file;
    SavedPlan()
    {
        fillPlan(plan, 100000, 1000, 0);
        file = dir.filePath(QStringLiteral("large.pkb"));
        PlanFiles::savePlanTables(plan, file);
    }
};

SavedPlan &savedPlan()
{
    static SavedPlan *saved = new SavedPlan;
    return *saved;
}

// kB figures of /proc/self/status ("VmRSS", "VmHWM").
double statusMB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace

static void BM_SavePlan100kItems(benchmark::State &state)
{
    SavedPlan &saved = savedPlan();
    for (auto _ : state)
        PlanFiles::savePlanTables(saved.plan, saved.file);
    state.counters["items_file_MB"] = QFile(saved.file).size() / 1048576.0;
}
BENCHMARK(BM_SavePlan100kItems)->Unit(benchmark::kMillisecond);

static void BM_LoadPlan100kItems(benchmark::State &state)
{
    SavedPlan &saved = savedPlan();
    for (auto _ : state) {
        auto plan = std::make_unique<Plan>();
        PlanFiles::loadPlan(*plan, saved.file);
        benchmark::DoNotOptimize(plan->items().totalRowCount());
        state.PauseTiming();
        plan.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPlan100kItems)->Unit(benchmark::kMillisecond);

// `cp` of the same five files, in the same run: the yardstick for the load.
// The load's share of cp's speed is cp's time over the load's.
static void BM_CopyPlanFiles100kItems(benchmark::State &state)
{
    SavedPlan &saved = savedPlan();
    const QString target = saved.dir.filePath(QStringLiteral("copy"));
    QDir().mkpath(target);
    QList<QByteArray> args = {"cp"};
    for (const QString &f : {saved.file, PlanFiles::loansFile(saved.file), PlanFiles::savingsFile(saved.file),
                             PlanFiles::categoriesFile(saved.file), PlanFiles::remindersFile(saved.file)})
        args << QFile::encodeName(f);
    args << QFile::encodeName(target);
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, "/bin/cp", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cp cannot be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
    }
}
BENCHMARK(BM_CopyPlanFiles100kItems)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_LoadedPlanMemory(benchmark::State &state)
{
    SavedPlan &saved = savedPlan();
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const double before = statusMB("VmRSS");
        resetPeak();
        state.ResumeTiming();
        auto plan = std::make_unique<Plan>();
        PlanFiles::loadPlan(*plan, saved.file);
        state.PauseTiming();
        malloc_trim(0);
        state.counters["plan_MB"] = statusMB("VmRSS") - before;
        state.counters["peak_MB"] = statusMB("VmHWM") - before;
        plan.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadedPlanMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

static void BM_PlanTotals(benchmark::State &state)
{
    const Plan &plan = largePlan();
    const QDateTime now(QDate(2025, 6, 1), QTime(12, 0));
    for (auto _ : state)
        benchmark::DoNotOptimize(computePlanTotals(plan, QStringLiteral("Monthly"), now));
}
BENCHMARK(BM_PlanTotals)->Unit(benchmark::kMillisecond);

// Alternates between a category's items and all expense items, the filter
// switched on; with Arg(1) the reminders follow the items as their detail.
static void BM_FilterChange(benchmark::State &state)
{
    Plan &plan = largePlan();
    Table &items = plan.items();
    plan.reminders().setLinkActive(state.range(0) != 0);
    items.setFilter(kindFilter(Kind::Expense));
    items.setFiltered(true);
    const QString toCategory = QStringLiteral("catid = 'E' and cat = 'Cat17'");
    const QString back = kindFilter(Kind::Expense);
    bool narrow = true;
    for (auto _ : state) {
        items.setFilter(narrow ? toCategory : back);
        narrow = !narrow;
    }
    items.setFiltered(false);
    plan.reminders().setLinkActive(false);
}
BENCHMARK(BM_FilterChange)->ArgName("link")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_CategoryTreeData(benchmark::State &state)
{
    const Plan &plan = largePlan();
    for (auto _ : state)
        benchmark::DoNotOptimize(categoryTreeData(plan));
}
BENCHMARK(BM_CategoryTreeData)->Unit(benchmark::kMillisecond);

// The items cursor moves to another row; the reminders refresh to its five.
static void BM_ItemCursorMove(benchmark::State &state)
{
    Plan &plan = largePlan();
    Table &items = plan.items();
    plan.reminders().setLinkActive(true);
    int row = 0;
    for (auto _ : state) {
        row = (row + 4999) % items.rowCount();
        items.goTo(row);
    }
    plan.reminders().setLinkActive(false);
}
BENCHMARK(BM_ItemCursorMove)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
