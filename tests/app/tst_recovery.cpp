#include "ChildProcess.h"
#include "DiskFailure.h"
#include "GuiTestSupport.h"
#include "PlanSnapshot.h"

#include "app/frm_main.h"
#include "app/PlanDocuments.h"
#include "widgets/frm_msg.h"
#include "plan/Plan.h"
#include "plan/PlanBackups.h"
#include "plan/PlanFiles.h"
#include "plan/PlanTotals.h"
#include "plan/ProgramFolders.h"
#include "plan/RecoveryCopy.h"
#include "planwindow/frm_budget.h"
#include "widgets/Format.h"
#include "widgets/ListDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

#include <csignal>
#include <iostream>

namespace {

void writePlan(const QString &file, int expenses)
{
    Plan plan;
    plan.categories().appendRow({"Home", "E"});
    plan.categories().appendRow({"Work", "I"});
    plan.items().appendRow({"Wage", "Monthly", 3000, "Work", "I"});
    for (int i = 1; i <= expenses; ++i)
        plan.items().appendRow({QStringLiteral("Cost %1").arg(i), "Weekly", 10 * i, "Home", "E"});
    PlanFiles::savePlan(plan, file, QString(), 3);
}

QStringList rowTexts(const QTableWidget *list, int row)
{
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << (list->item(row, c) ? list->item(row, c)->text() : QString());
    return out;
}

QStringList copiesOnDisk()
{
    return QDir(ProgramFolders::recoveryFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// The program that dies: the plans open, the first item of each deleted, the
// recovery copies written by the windows' own timers; then it waits to be
// killed.
int runDyingProgram(int argc, char **argv)
{
    QApplication app(argc, argv);
    GuiTest::initTestCase();
    QStringList plans;
    for (int i = 3; i < argc; ++i)
        plans << QString::fromLocal8Bit(argv[i]);
    Tfrm_main main(QString::fromLocal8Bit(argv[2]));
    main.setPlansToOpen(plans);
    main.show();
    for (Tfrm_budget *window : main.planWindows()) {
        window->plan().items().first();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        window->toolButton("obdeleteitem")->click();
    }
    const auto written = [&] {
        for (Tfrm_budget *window : main.planWindows())
            if (!window->recoveryCopy() || window->recoveryCopy()->isWriting()
                || !QFileInfo::exists(window->recoveryCopy()->path() + "/about.ini"))
                return false;
        return true;
    };
    QElapsedTimer waited;
    waited.start();
    while (!written() && waited.elapsed() < 20000)
        QTest::qWait(50);
    std::cout << (written() ? "ready" : "no copy") << std::endl;
    for (;;)
        QTest::qWait(1000);
}

} // namespace

// Nothing unsaved is lost when the program dies, and every save keeps the
// plan it replaced: recovery at the next start, backups put back.
class TestRecovery : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    // The main window shown with home.pkb open; its window.
    Tfrm_budget *openHome(Tfrm_main &main)
    {
        main.show();
        return main.documents()->openPlanFile(path("home.pkb")) ? main.activePlanWindow() : nullptr;
    }

    // Answers the next list dialog with `button` after checking it.
    std::function<void(ListDialog *)> m_check;
    void answerList(const QString &button, std::function<void(ListDialog *)> check = {})
    {
        ModalRunner::setHook([button, check](QDialog *dialog) {
            auto *list = qobject_cast<ListDialog *>(dialog);
            QVERIFY2(list, qPrintable(dialog->objectName() + " " + dialog->windowTitle()));
            if (check)
                check(list);
            list->findChild<QPushButton *>(button)->click();
        });
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        QDir(ProgramFolders::userDataFolder()).removeRecursively();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
    }

    void cleanup()
    {
        Tfrm_msg::takeShownTexts();
        GUITEST_CLEANUP();
    }

    // The program is killed after a change to each of two plans: the next
    // start lists both, recovers them as they were, unsaved, and the copies
    // go once the person has decided.
    void killedProgramsPlansAreRecovered()
    {
        writePlan(path("home.pkb"), 3);
        writePlan(path("trip.pkb"), 5);
        QProcess dying;
        dying.start(QCoreApplication::applicationFilePath(),
                    {"--dying-program", m_dir->path(), path("home.pkb"), path("trip.pkb")});
        QVERIFY(dying.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(dying.canReadLine() || dying.state() == QProcess::NotRunning, 30000);
        QCOMPARE(dying.readLine().trimmed(), QByteArray("ready"));
        ::kill(static_cast<pid_t>(dying.processId()), SIGKILL);
        QVERIFY(dying.waitForFinished());
        QCOMPARE(dying.exitStatus(), QProcess::CrashExit);
        QCOMPARE(copiesOnDisk().size(), 2);

        answerList("btn_recover", [this](ListDialog *d) {
            QCOMPARE(d->windowTitle(), QString("Recover Unsaved Changes"));
            QCOMPARE(d->list()->rowCount(), 2);
            QCOMPARE(d->chosenRows(), QList<int>({0, 1}));
            QStringList plans;
            for (int r = 0; r < 2; ++r) {
                const QStringList row = rowTexts(d->list(), r);
                plans << row.at(0);
                QCOMPARE(row.at(1), path(row.at(0)));
                QVERIFY(QDateTime::fromString(row.at(2), "dd/MM/yyyy HH:mm:ss").isValid());
                QCOMPARE(row.at(3), QString("Can be recovered"));
            }
            plans.sort();
            QCOMPARE(plans, QStringList({"home.pkb", "trip.pkb"}));
            QVERIFY(d->findChild<QPushButton *>("btn_recover")->isDefault());
        });
        Tfrm_main main(m_dir->path());
        main.show();
        ModalRunner::setHook({});
        QMap<QString, Tfrm_budget *> windows;
        for (Tfrm_budget *w : main.planWindows())
            windows.insert(w->windowTitle(), w);
        QCOMPARE(windows.keys(), QStringList({"home.pkb", "trip.pkb"})); // no start-up plan beside them
        for (const auto &[name, items] : {std::pair{"home.pkb", 3}, {"trip.pkb", 5}}) {
            Tfrm_budget *w = windows.value(name);
            QCOMPARE(w->planfile(), path(name));
            QCOMPARE(w->plan().items().totalRowCount(), items); // one of the 1 + n deleted
            QVERIFY(!w->saved());
            QCOMPARE(w->displayFrequency(), 3);
        }

        // Saved: its copy goes. Closed without saving: so does the other.
        main.findChild<QMdiArea *>()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow *>(windows["home.pkb"]->parentWidget()));
        FileDialog::queuePath(path("home.pkb"));
        windows["home.pkb"]->toolButton("LMDSbtn_save_plan")->click();
        QVERIFY(windows["home.pkb"]->saved());
        QCOMPARE(copiesOnDisk().size(), 1);
        Plan saved;
        PlanFiles::loadPlan(saved, path("home.pkb"));
        QCOMPARE(saved.items().totalRowCount(), 3);
        MessageBox::queueAnswer(MessageBox::Answer::No);
        windows["trip.pkb"]->toolButton("obcloseplan")->click();
        MessageBox::takeShown();
        QTRY_COMPARE(copiesOnDisk().size(), 0);
        FileDialog::takeRequests();
    }

    // "Later" keeps the copies for the next start; a copy that cannot be read
    // is reported and kept, and goes only when the person discards it.
    void unreadableCopiesAreReportedAndKept()
    {
        writePlan(path("home.pkb"), 2);
        QCOMPARE(exitStatusOfChild([&] {
                     for (const char *name : {"good.pkb", "bad.pkb"}) {
                         Plan plan;
                         PlanFiles::loadPlan(plan, path("home.pkb"));
                         auto *copy = new RecoveryCopy(ProgramFolders::recoveryFolder()); // dies holding it
                         copy->write(plan, {path(name), name, 2, {}});
                         copy->waitForWrite();
                         QThread::msleep(5);
                     }
                     return 0;
                 }),
                 0);
        for (const QString &copy : copiesOnDisk()) {
            const QString about = QDir(ProgramFolders::recoveryFolder()).filePath(copy + "/about.ini");
            QFile f(about);
            QVERIFY(f.open(QIODevice::ReadOnly));
            if (f.readAll().contains("bad.pkb"))
                QVERIFY(QFile::resize(QDir(ProgramFolders::recoveryFolder()).filePath(copy + "/plan.pkbrem"), 7));
        }

        answerList("btn_later");
        {
            Tfrm_main main(m_dir->path());
            main.show();
            QCOMPARE(main.planWindows().size(), 1); // the start-up plan
        }
        QCOMPARE(copiesOnDisk().size(), 2);

        answerList("btn_recover", [](ListDialog *d) {
            QCOMPARE(rowTexts(d->list(), 0).at(3), QString("Can be recovered"));
            QVERIFY(rowTexts(d->list(), 1).at(3).startsWith("Cannot be read: "));
        });
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        {
            Tfrm_main main(m_dir->path());
            main.show();
            const QStringList shown = GuiTest::shownTexts();
            QCOMPARE(shown.size(), 1);
            QVERIFY(shown.front().startsWith("These recovery copies cannot be read; they are kept as they are:\n"));
            QCOMPARE(main.planWindows().size(), 1);
            QCOMPARE(main.planWindows().front()->windowTitle(), QString("good.pkb"));
            QCOMPARE(copiesOnDisk().size(), 2); // the recovered one, kept by its window
            MessageBox::queueAnswer(MessageBox::Answer::No);
            main.planWindows().front()->toolButton("obcloseplan")->click();
            MessageBox::takeShown();
            QTRY_COMPARE(copiesOnDisk().size(), 1);
        }

        answerList("btn_discard");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        {
            Tfrm_main main(m_dir->path());
            main.show();
            QCOMPARE(GuiTest::shownTexts(),
                     QStringList{"The unsaved changes of this plan will be lost for good. Discard them?"});
        }
        QCOMPARE(copiesOnDisk().size(), 0);
    }

    // A change starts the copy a few seconds later without making the window
    // wait; undoing back to the saved plan removes it.
    void aChangeIsCopiedAndUndoingRemovesTheCopy()
    {
        writePlan(path("home.pkb"), 2);
        Tfrm_main main(m_dir->path());
        Tfrm_budget *w = openHome(main);
        QVERIFY(w);
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        w->toolButton("obdeleteitem")->click();
        MessageBox::takeShown();
        QVERIFY(!w->recoveryCopy());
        QTRY_VERIFY_WITH_TIMEOUT(w->recoveryCopy() && !w->recoveryCopy()->isWriting(),
                                 Tfrm_budget::kRecoveryDelayMs + 5000);
        QCOMPARE(copiesOnDisk().size(), 1);
        Plan copied;
        w->recoveryCopy()->load(copied);
        QCOMPARE(PlanSnapshot(copied), PlanSnapshot(w->plan()));
        w->history()->undo();
        QVERIFY(w->saved());
        QVERIFY(!w->recoveryCopy());
        QCOMPARE(copiesOnDisk().size(), 0);
    }

    // Each save keeps the plan it replaced; File > Restore From Backup… lists
    // them and puts one back as an unsaved change that Undo takes back.
    void aBackupIsRestoredAsAnUndoableChange()
    {
        writePlan(path("home.pkb"), 2);
        Tfrm_main main(m_dir->path());
        Tfrm_budget *w = openHome(main);
        QVERIFY(w);
        const PlanSnapshot original(w->plan());
        const QString balance = Format::currency(computePlanTotals(w->plan(), "Monthly", Clock::now()).balance);
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        w->toolButton("obdeleteitem")->click();
        MessageBox::takeShown();
        FileDialog::queuePath(path("home.pkb"));
        w->toolButton("LMDSbtn_save_plan")->click();
        FileDialog::takeRequests();
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        const PlanSnapshot changed(w->plan());

        QAction *restore = main.findChild<QAction *>("mnuRestoreBackup");
        QVERIFY(restore->isEnabled());
        answerList("btn_restore", [balance](ListDialog *d) {
            QCOMPARE(d->windowTitle(), QString("Restore From Backup"));
            QCOMPARE(d->list()->rowCount(), 1);
            const QStringList row = rowTexts(d->list(), 0);
            QCOMPARE(row.at(1), QString("3"));
            QCOMPARE(row.at(2), balance);
            QCOMPARE(d->chosenRows(), QList<int>{0});
        });
        restore->trigger();
        QCOMPARE(PlanSnapshot(w->plan()), original);
        QVERIFY(!w->saved());
        QVERIFY(w->history()->undoText().startsWith("Restore Backup Of "));
        w->history()->undo();
        QCOMPARE(PlanSnapshot(w->plan()), changed);
        QVERIFY(w->saved());
    }

    // The backups' disk is full: the save is made and says why no backup was kept.
    void aSaveOnAFullBackupDiskSaysSo()
    {
        SmallDisk disk(16 * 1024);
        if (!disk.isMounted())
            QSKIP("a small disk needs root and mount namespaces");
        writePlan(path("home.pkb"), 2000);
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(disk.path()));
        Tfrm_main main(m_dir->path());
        main.show();
        QVERIFY(main.documents()->openPlanFile(path("home.pkb")));
        Tfrm_budget *w = main.activePlanWindow();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        w->toolButton("obdeleteitem")->click();
        MessageBox::takeShown();
        FileDialog::queuePath(path("home.pkb"));
        w->toolButton("LMDSbtn_save_plan")->click();
        FileDialog::takeRequests();
        qputenv("XDG_DATA_HOME", home);
        QVERIFY(w->saved());
        QCOMPARE(Tfrm_msg::takeShownTexts(),
                 QStringList{"File : \"home.pkb\" has been saved\nNo backup of the plan it replaced could be kept: "
                             "No space left on device"});
        Plan saved;
        PlanFiles::loadPlan(saved, path("home.pkb"));
        QCOMPARE(saved.items().totalRowCount(), 2000);
    }
};

int main(int argc, char **argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--dying-program") == 0)
        return runDyingProgram(argc, argv);
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
