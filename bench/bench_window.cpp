// The plan window's actions on large plans, through a real Tfrm_budget on the
// offscreen platform: New Item and Delete Item on 10,000 items, 1,000
// categories and 50,000 reminders; a Down key in the items grid with the
// reminders following; the window's activation with 100,000 items; and
// opening a 100,000-item plan from the main window until the event queue is
// idle.
#include "BenchPlans.h"
#include "app/frm_main.h"
#include "app/PlanDocuments.h"
#include "plan/PlanEdits.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/RecoveryCopy.h"
#include "planwindow/ItemsPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/ModalRunner.h"
#include "widgets/TimedWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHash>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>

namespace {

using namespace BenchPlans;

// The resident size in MB, from /proc/self/status.
double residentMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A shown plan window over a plan filled by `fill`, in a folder of its own
// (the item editor writes its suggested-items list into the current folder).
struct WindowFixture
{
    QTemporaryDir dir;
    std::unique_ptr<Tfrm_budget> window;

    explicit WindowFixture(int items, int categories, int remindersPerItem)
    {
        QDir::setCurrent(dir.path());
        window = std::make_unique<Tfrm_budget>(nullptr);
        fillPlan(window->plan(), items, categories, remindersPerItem);
        window->plan().setSaved(true);
        window->resize(1000, 700);
        window->show();
        window->activate();
        window->updateall();
        settle();
    }
    Plan &plan() { return window->plan(); }
    QToolButton *button(const char *name) { return window->toolButton(QLatin1String(name)); }
};

WindowFixture &planWithReminders()
{
    static auto *fixture = new WindowFixture(10000, 1000, 5);
    return *fixture;
}

WindowFixture &plan100k()
{
    static auto *fixture = new WindowFixture(100000, 1000, 0);
    return *fixture;
}

} // namespace

// New Item: the editor opens, a new name is typed, OK adds the item and the
// trees follow. The item goes again (untimed) so every round sees the same plan.
static void BM_WindowAddItem(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    int n = 0;
    QString name;
    ModalRunner::setHook([&name](QDialog *d) {
        auto *category = d->findChild<QLineEdit *>(QStringLiteral("DBEdit_cat"));
        for (int i = 0; i < 100 && category->text().isEmpty(); ++i)
            QCoreApplication::processEvents();
        d->findChild<QComboBox *>(QStringLiteral("ebitem"))->setEditText(name);
        d->findChild<QPushButton *>(QStringLiteral("LMDSB_OK"))->click();
    });
    for (auto _ : state) {
        state.PauseTiming();
        name = QStringLiteral("Bench item %1").arg(++n);
        QFile::remove(QStringLiteral("incitems.txt"));
        state.ResumeTiming();
        f.button("obnewitem")->click();
        state.PauseTiming();
        if (f.plan().items().asString("item") != name) {
            state.SkipWithError("the item was not added");
            break;
        }
        f.window->history()->undo();
        state.ResumeTiming();
    }
    ModalRunner::setHook({});
    f.window->updateall();
}
BENCHMARK(BM_WindowAddItem)->Unit(benchmark::kMillisecond);

// Delete Item, answered Yes: the item and its five reminders go, the trees
// follow. The item and its reminders come back (untimed) for the next round.
static void BM_WindowDeleteItem(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    Table &items = f.plan().items();
    int row = 0;
    for (auto _ : state) {
        state.PauseTiming();
        row = (row + 997) % items.rowCount();
        items.goTo(row);
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        state.ResumeTiming();
        f.button("obdeleteitem")->click();
        state.PauseTiming();
        if (items.totalRowCount() != 9999) {
            state.SkipWithError("the item was not deleted");
            break;
        }
        f.window->history()->undo();
        state.ResumeTiming();
    }
    MessageBox::takeShown();
    f.window->updateall();
}
BENCHMARK(BM_WindowDeleteItem)->Unit(benchmark::kMillisecond);

// A Down key in the items grid: the cursor moves and the current item's
// reminders, notes and total follow. Back to the top (untimed) at the end.
static void BM_WindowItemsDownKey(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    QTableView *grid = f.window->itemsPage()->grid();
    Table &items = f.plan().items();
    grid->setFocus();
    items.goTo(0);
    settle();
    for (auto _ : state) {
        if (items.currentRow() + 1 >= items.rowCount()) {
            state.PauseTiming();
            items.goTo(0);
            state.ResumeTiming();
        }
        QTest::keyClick(grid, Qt::Key_Down);
    }
    state.counters["reminders_shown"] = f.plan().reminders().rowCount();
}
BENCHMARK(BM_WindowItemsDownKey)->Unit(benchmark::kMillisecond);

// The window becomes the active plan window again, nothing changed meanwhile.
static void BM_WindowActivate100kItems(benchmark::State &state)
{
    WindowFixture &f = plan100k();
    for (auto _ : state)
        f.window->activate();
}
BENCHMARK(BM_WindowActivate100kItems)->Unit(benchmark::kMillisecond);

// Open a saved plan of 10,000 or 100,000 items (in 100 or 1,000 categories)
// from the main window (the open routine after the dialog's Enter), until the
// events it posted are handled. The window is closed again untimed.
// grown_MB: how much the program grew with the window open.
static void BM_OpenPlanWindow(benchmark::State &state)
{
    const auto items = static_cast<int>(state.range(0));
    static QHash<int, QTemporaryDir *> saved;
    if (!saved.contains(items)) {
        auto *dir = new QTemporaryDir;
        Plan plan;
        fillPlan(plan, items, items / 100, 0);
        PlanFiles::savePlanTables(plan, dir->filePath(QStringLiteral("large.pkb")));
        saved.insert(items, dir);
    }
    const QString file = saved.value(items)->filePath(QStringLiteral("large.pkb"));
    QTemporaryDir folder;
    auto main = std::make_unique<Tfrm_main>(folder.path());
    main->show();
    settle();
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        const double before = residentMB();
        state.ResumeTiming();
        if (!main->documents()->openPlanFile(file)) {
            state.SkipWithError("the plan did not open");
            break;
        }
        settle();
        state.PauseTiming();
        malloc_trim(0);
        state.counters["grown_MB"] = residentMB() - before;
        for (QMdiSubWindow *sub : main->documentArea()->subWindowList())
            if (sub->widget()->windowTitle() == QLatin1String("large.pkb"))
                delete sub;
        settle();
        state.ResumeTiming();
    }
    main.reset();
    settle();
}
BENCHMARK(BM_OpenPlanWindow)->ArgName("items")->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

namespace {

// Makes one change on the 10,000-item plan through the routines the window's
// commands call, as one step of its history: 0 Delete Item (the item and its
// five reminders), 1 an item renamed (its reminders follow), 2 a category
// deleted with its 10 items and 50 reminders.
bool makeChange(WindowFixture &f, int what, int n)
{
    Plan &plan = f.plan();
    Table &items = plan.items();
    items.goTo((n * 997) % items.rowCount());
    PlanEdits::PlanEdit edit;
    if (what == 0)
        edit = PlanEdits::deleteItem(plan);
    else if (what == 1)
        edit = PlanEdits::changeItem(plan, {{QStringLiteral("item"), QStringLiteral("Renamed %1").arg(n)}});
    else
        edit = PlanEdits::deleteCategory(plan, items.asString("catid"), items.asString("cat"));
    if (!edit.ok() || edit.change.isEmpty())
        return false;
    f.window->addToHistory(std::move(edit.change));
    return true;
}

} // namespace

// Keeping the recovery copy of the 10,000-item plan with unsaved changes: the
// part the window's event loop waits for (taking the plan's content; the
// files are written in the background, untimed here).
static void BM_WindowRecoveryCopy(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    f.plan().setSaved(false);
    for (auto _ : state) {
        f.window->keepRecoveryCopy();
        state.PauseTiming();
        if (!f.window->recoveryCopy()) {
            state.SkipWithError("no recovery copy was kept");
            break;
        }
        f.window->recoveryCopy()->waitForWrite();
        state.ResumeTiming();
    }
    if (RecoveryCopy *copy = f.window->recoveryCopy())
        state.counters["problem"] = copy->lastProblem().isEmpty() ? 0 : 1;
    f.window->setSaved(true);
}
BENCHMARK(BM_WindowRecoveryCopy)->Unit(benchmark::kMillisecond);

// Undo (arg 1 = 0) or redo (1) of one step through the window's history:
// the tables, the trees, the totals and the status bar follow.
static void BM_WindowUndoRedo(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    QUndoStack *history = f.window->history();
    const bool timeRedo = state.range(1) == 1;
    if (!makeChange(f, static_cast<int>(state.range(0)), 1)) {
        state.SkipWithError("the change was not made");
        return;
    }
    f.window->rebuildCategoryTrees();
    f.window->updateall();
    settle();
    for (auto _ : state) {
        if (timeRedo) {
            state.PauseTiming();
            history->undo();
            state.ResumeTiming();
            history->redo();
        } else {
            history->undo();
            state.PauseTiming();
            history->redo();
            state.ResumeTiming();
        }
    }
    history->undo();
    f.window->clearHistory();
    settle();
}
BENCHMARK(BM_WindowUndoRedo)
    ->ArgNames({"change", "redo"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The memory 1,000 steps of history hold on the 10,000-item plan: 450 items
// deleted, 450 renamed and 100 categories deleted, measured as the heap the
// history gives back when it is cleared. Before that every step is undone
// (the plan must come back row for row) and done again. The plan is left
// changed: this runs last.
static void BM_WindowHistory1000Steps(benchmark::State &state)
{
    WindowFixture &f = planWithReminders();
    const std::vector<Table::Row> items = f.plan().items().allRows();
    const std::vector<Table::Row> reminders = f.plan().reminders().allRows();
    for (auto _ : state) {
        for (int n = 0; n < 1000; ++n)
            if (!makeChange(f, n % 10 == 9 ? 2 : n % 2, n)) {
                state.SkipWithError("a change was not made");
                return;
            }
        state.PauseTiming();
        QUndoStack *history = f.window->history();
        const int steps = history->count();
        while (history->canUndo())
            history->undo();
        const bool same = std::vector<Table::Row>(f.plan().items().allRows()) == items
            && std::vector<Table::Row>(f.plan().reminders().allRows()) == reminders;
        while (history->canRedo())
            history->redo();
        malloc_trim(0);
        const size_t held = mallinfo2().uordblks;
        f.window->clearHistory();
        malloc_trim(0);
        const size_t cleared = mallinfo2().uordblks;
        state.counters["steps"] = steps;
        state.counters["history_MB"] = static_cast<double>(held - cleared) / (1024.0 * 1024.0);
        if (!same)
            state.SkipWithError("undoing every step did not give the plan back");
        state.ResumeTiming();
    }
    settle();
}
BENCHMARK(BM_WindowHistory1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Recovery copies and backups go to a folder of the run's own.
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    MessageBox::setTestMode(true);
    FileDialog::setTestMode(true);
    TimedWindows::setOverride(0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
