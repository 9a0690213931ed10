#include "ChildProcess.h"
#include "DiskFailure.h"
#include "PlanSnapshot.h"

#include "plan/Plan.h"
#include "plan/PlanBackups.h"
#include "plan/PlanFiles.h"
#include "plan/RecoveryCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// A plan of `items` items, each a different amount, so two of them differ.
void fill(Plan &plan, int items)
{
    plan.categories().setAllRows({});
    plan.items().setAllRows({});
    plan.categories().appendRow({"Home", "E"});
    plan.categories().appendRow({"Work", "I"});
    plan.items().appendRow({"Wage", "Monthly", 3000, "Work", "I"});
    for (int i = 1; i < items; ++i)
        plan.items().appendRow({QStringLiteral("Cost %1").arg(i), "Weekly", 10 * i, "Home", "E"});
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// The backups every save keeps and the recovery copies of unsaved plans, on
// real files: how many are kept, what they hold, and what a full disk or a
// killed program leaves.
class TestSafetyNet : public QObject
{
    Q_OBJECT

private slots:
    // Each save over a plan keeps the family it replaced, newest first, the
    // last twenty; every spelling of the plan's path finds the same backups.
    void everySaveKeepsTheFamilyItReplaces()
    {
        QTemporaryDir dir;
        const QString backups = dir.filePath("backups");
        const QString file = dir.filePath("home.pkb");
        PlanFiles::SaveBackup backup;
        backup.folder = backups;
        Plan plan;
        fill(plan, 1);
        PlanFiles::savePlan(plan, file, QString(), 3, &backup);
        QVERIFY(!backup.kept); // nothing to replace yet
        QVERIFY(backup.problem.isEmpty());
        QVERIFY(PlanBackups::list(backups, file).isEmpty());

        for (int save = 2; save <= 22; ++save) {
            fill(plan, save);
            PlanFiles::SaveBackup each;
            each.folder = backups;
            PlanFiles::savePlan(plan, file, QString(), 3, &each);
            QVERIFY2(each.kept, qPrintable(each.problem));
        }
        const QList<PlanBackups::Backup> kept = PlanBackups::list(backups, dir.path() + "/./sub/../home.pkb");
        QCOMPARE(kept.size(), PlanBackups::kKept);
        // The newest holds the plan of the 21st save, the oldest that of the 2nd.
        QCOMPARE(PlanBackups::summarise(kept.front(), QDateTime::currentDateTime()).items, 21);
        QCOMPARE(PlanBackups::summarise(kept.back(), QDateTime::currentDateTime()).items, 2);
        for (qsizetype i = 1; i < kept.size(); ++i)
            QVERIFY(kept.at(i - 1).time >= kept.at(i).time);
        QCOMPARE(folderEntries(PlanBackups::planFolder(backups, file)).size(), PlanBackups::kKept);

        // A backup opens as the plan it was, display frequency included.
        Plan back;
        QCOMPARE(PlanBackups::load(kept.front(), back), 3);
        Plan expected;
        fill(expected, 21);
        QCOMPARE(PlanSnapshot(back), PlanSnapshot(expected));
        const QString line = PlanBackups::describe(kept.front(), QDateTime::currentDateTime());
        QCOMPARE(line, PlanBackups::timeText(kept.front()) + "  21 items  -$6131.25 a month");

        // Another plan of the same name elsewhere has backups of its own.
        QDir().mkpath(dir.filePath("other"));
        QVERIFY(PlanBackups::list(backups, dir.filePath("other/home.pkb")).isEmpty());
    }

    // A full disk where the backups go: the save is made all the same and
    // says why there is no backup; nothing of the backup is left half-written.
    void aFullDiskKeepsNoBackupButTheSaveIsMade()
    {
        SmallDisk disk(64 * 1024);
        if (!disk.isMounted())
            QSKIP("a small disk needs root and mount namespaces");
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        Plan plan;
        fill(plan, 5000); // the old family does not fit on the small disk
        PlanFiles::savePlan(plan, file, QString(), 2);
        fill(plan, 5);
        PlanFiles::SaveBackup backup;
        backup.folder = disk.filePath("backups");
        PlanFiles::savePlan(plan, file, QString(), 2, &backup);
        QVERIFY(!backup.kept);
        QCOMPARE(backup.problem, QString("No space left on device"));
        Plan saved;
        PlanFiles::loadPlan(saved, file);
        QCOMPARE(saved.items().totalRowCount(), 5);
        QVERIFY(PlanBackups::list(disk.filePath("backups"), file).isEmpty());
        QCOMPARE(folderEntries(PlanBackups::planFolder(disk.filePath("backups"), file)), QStringList());
    }

    // A recovery copy holds the plan as it was when it was taken, its file
    // and title; it is written in the background and read back whole.
    void aRecoveryCopyReadsBackAsTheUnsavedPlan()
    {
        QTemporaryDir dir;
        Plan plan;
        fill(plan, 30);
        plan.reminders().appendRow({"E", "Home", "Cost 1", 5, "pay", 3});
        RecoveryCopy copy(dir.path());
        copy.write(plan, {"/home/ann/home.pkb", "home.pkb", 4, {}});
        fill(plan, 3); // changes after the copy was taken are not in it
        copy.waitForWrite();
        QCOMPARE(copy.lastProblem(), QString());

        Plan back;
        copy.load(back);
        Plan expected;
        fill(expected, 30);
        expected.reminders().appendRow({"E", "Home", "Cost 1", 5, "pay", 3});
        QCOMPARE(PlanSnapshot(back), PlanSnapshot(expected));
        // Its program runs: no other finds it.
        QVERIFY(RecoveryCopy::orphans(dir.path()).empty());
        copy.discard();
        QCOMPARE(folderEntries(dir.path()), QStringList());
    }

    // Copies left by programs killed after a change are found by the next
    // one, several at once, oldest first; a copy that cannot be read is
    // found with its reason and nothing of it is removed.
    void copiesOfKilledProgramsAreFoundAndKept()
    {
        QTemporaryDir dir;
        const int status = exitStatusOfChild([&] {
            for (int n = 1; n <= 2; ++n) {
                Plan plan;
                fill(plan, 10 * n);
                auto *copy = new RecoveryCopy(dir.path()); // never destroyed: the process dies holding it
                copy->write(
                    plan,
                    {dir.filePath(QStringLiteral("plan%1.pkb").arg(n)), QStringLiteral("plan%1.pkb").arg(n), n, {}});
                copy->waitForWrite();
                QThread::msleep(5);
            }
            ::kill(::getpid(), SIGKILL);
            return 0;
        });
        QCOMPARE(status, -1); // killed
        std::vector<std::unique_ptr<RecoveryCopy>> found = RecoveryCopy::orphans(dir.path());
        QCOMPARE(found.size(), size_t(2));
        QCOMPARE(found.at(0)->about().title, QString("plan1.pkb"));
        QCOMPARE(found.at(1)->about().planFile, dir.filePath("plan2.pkb"));
        QCOMPARE(found.at(1)->about().displayFrequency, 2);
        QVERIFY(found.at(0)->about().time.isValid());
        Plan second;
        found.at(1)->load(second);
        QCOMPARE(second.items().totalRowCount(), 20);
        // While this program holds them, a third program does not see them.
        QVERIFY(RecoveryCopy::orphans(dir.path()).empty());

        // The first copy's items file is damaged: reported, and left whole.
        const QString damaged = found.at(0)->path() + "/plan.pkb";
        found.clear();
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("not a plan");
        f.close();
        found = RecoveryCopy::orphans(dir.path());
        QCOMPARE(found.size(), size_t(2));
        QVERIFY(found.at(0)->problem().contains("plan.pkb"));
        QVERIFY(found.at(1)->problem().isEmpty());
        Plan unread;
        QVERIFY_THROWS_EXCEPTION(FileFormatError, found.at(0)->load(unread));
        found.clear();
        QCOMPARE(QFile(damaged).size(), qint64(10));
    }
};

QTEST_GUILESS_MAIN(TestSafetyNet)
#include "tst_safetynet.moc"
