// The main window as a Linux desktop program: recent plans, CSV from the
// menus, the reminders due when a plan opens, a program folder it may not
// write to, and the program's own command line.
#include "DiskFailure.h"
#include "GuiTestSupport.h"
#include "SamplePlans.h"

#include "app/frm_main.h"
#include "app/PlanDocuments.h"
#include "widgets/frm_msg.h"
#include "plan/Plan.h"
#include "plan/PlanCsv.h"
#include "plan/PlanFiles.h"
#include "planwindow/DueRemindersBar.h"
#include "planwindow/frm_budget.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStandardPaths>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

class TestDesktop : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_user; // XDG_DATA_HOME
    std::unique_ptr<Tfrm_main> m_main;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // An income of 1000 a month and an expense of 100 a week, and reminders,
    // shown Monthly.
    static void writePlan(const QString &file, const QList<Table::Row> &reminders = {})
    {
        wageAndRent(reminders).save(file, 3);
    }

    QStringList recentEntries() const
    {
        QStringList out;
        for (QAction *a : m_main->documents()->recentPlansMenu()->actions())
            out << a->data().toString();
        return out;
    }

    static QStringList rowTexts(QTreeWidget *tree)
    {
        QStringList out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < tree->columnCount(); ++c)
                cells << tree->topLevelItem(i)->text(c);
            out << cells.join(" | ");
        }
        return out;
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        m_user = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_user->path()));
        QDir::setCurrent(m_dir->path());
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        Tfrm_msg::takeShownTexts();
    }

    void cleanup()
    {
        m_main.reset();
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
        m_user.reset();
        GUITEST_CLEANUP();
    }

    void recentPlans()
    {
        writePlan(path("home.pkb"));
        writePlan(path("work.pkb"));
        QVERIFY(!m_main->documents()->recentPlansMenu()->isEnabled()); // nothing opened yet
        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        QVERIFY(m_main->documents()->openPlanFile(path("work.pkb")));
        QCOMPARE(recentEntries(), QStringList({path("work.pkb"), path("home.pkb")}));
        QCOMPARE(m_main->action("mnuRecentPlan1")->text(), "&1 " + QDir::toNativeSeparators(path("work.pkb")));

        // A save under a new name puts that name first.
        Tfrm_budget *work = m_main->activePlanWindow();
        work->plan().setSaved(false);
        FileDialog::queuePath(path("saved.pkb"));
        QVERIFY(work->savePlan());
        QCOMPARE(recentEntries().first(), path("saved.pkb"));

        // Kept for the next start of the program, in the user's own folder.
        m_main.reset();
        QVERIFY(QFile::exists(m_user->filePath("kavo-pursekeep/recentplans.txt")));
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        QCOMPARE(recentEntries(), QStringList({path("saved.pkb"), path("work.pkb"), path("home.pkb")}));

        // Chosen from the menu: the plan opens.
        m_main->action("mnuRecentPlan3")->trigger();
        QCOMPARE(m_main->activePlanWindow()->planfile(), path("home.pkb"));
        QCOMPARE(recentEntries().first(), path("home.pkb"));

        // A plan that is gone is taken off the list, and nothing opens.
        QVERIFY(QFile::remove(path("work.pkb")));
        const int windows = m_main->planWindows().size();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("mnuRecentPlan3")->trigger();
        QCOMPARE(
            GuiTest::shownTexts(),
            QStringList({"\"" + path("work.pkb") + "\" does not exist; it is taken off the list of recent plans."}));
        QCOMPARE(recentEntries(), QStringList({path("home.pkb"), path("saved.pkb")}));
        QCOMPARE(m_main->planWindows().size(), windows);
    }

    void csvThroughTheMenus()
    {
        QCOMPARE(m_main->action("mnuImportCsv")->text(), QString::fromUtf8("&Import From CSV\u2026"));
        QCOMPARE(m_main->action("mnuExportCsv")->text(), QString::fromUtf8("&Export To CSV\u2026"));
        writePlan(path("home.pkb"), {{"E", "Home", "Rent", 1, "Pay the rent", 7}});
        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        FileDialog::queuePath(path("csv"));
        QDir().mkpath(path("csv"));
        m_main->action("mnuExportCsv")->trigger();
        QCOMPARE(FileDialog::takeRequests().constFirst().folder, true);
        for (const char *name : {"items.csv", "categories.csv", "savings.csv", "loans.csv", "reminders.csv"})
            QVERIFY2(QFile::exists(path("csv/") + name), name);

        // Read back as a new, unsaved plan with every row.
        FileDialog::queuePath(path("csv"));
        m_main->action("mnuImportCsv")->trigger();
        Tfrm_budget *imported = m_main->activePlanWindow();
        QCOMPARE(imported->windowTitle(), QString("csv.PKB"));
        QVERIFY(!imported->saved());
        QCOMPARE(imported->plan().items().totalRowCount(), 2);
        QCOMPARE(imported->plan().reminders().totalRowCount(), 1);
        imported->setDisplayFrequency(3);
        QCOMPARE(imported->statusTexts().at(4), QString("Balance: $565.18"));

        // A bad row: the file, line and field are told, and nothing opens.
        QFile items(path("csv/items.csv"));
        QVERIFY(items.open(QIODevice::Append));
        items.write("Bonus,Sometimes,5,Work,I,\r\n");
        items.close();
        const int windows = m_main->planWindows().size();
        FileDialog::queuePath(path("csv"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("mnuImportCsv")->trigger();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(path("csv/items.csv") + ":4: field 'freq': 'Sometimes' is not a frequency"),
                 qPrintable(shown.first()));
        QCOMPARE(m_main->planWindows().size(), windows);

        // Cancelled: nothing happens.
        FileDialog::queueCancel();
        m_main->action("mnuImportCsv")->trigger();
        QCOMPARE(m_main->planWindows().size(), windows);
    }

    // Plans of one name in two folders are two plans, told apart in their
    // titles; the same plan by another spelling of its path is the one
    // already open. A plan that no file holds leaves no settings file behind.
    void plansOfTheSameNameInTwoFolders()
    {
        QDir().mkpath(path("Documents/2025"));
        writePlan(path("Documents/home.pkb"));
        writePlan(path("Documents/2025/home.pkb"));
        QVERIFY(m_main->documents()->openPlanFile(path("Documents/home.pkb")));
        Tfrm_budget *older = m_main->activePlanWindow();
        QVERIFY(m_main->documents()->openPlanFile(path("Documents/2025/home.pkb")));
        Tfrm_budget *newer = m_main->activePlanWindow();
        QVERIFY(newer != older);
        QCOMPARE(newer->planfile(), path("Documents/2025/home.pkb"));
        QCOMPARE(older->windowTitle(), QString("home.pkb - Documents"));
        QCOMPARE(newer->windowTitle(), QString("home.pkb - 2025"));

        // By another spelling: the window already open comes forward.
        const int windows = m_main->planWindows().size();
        QVERIFY(m_main->documents()->openPlanFile(path("Documents/2025/../home.pkb")));
        QCOMPARE(m_main->activePlanWindow(), older);
        QCOMPARE(m_main->planWindows().size(), windows);

        // A change saved goes to the plan's own file, not to its namesake's.
        older->plan().items().appendRow({"Bonus", "Yearly", 500, "Work", "I"});
        older->plan().setSaved(true);
        QVERIFY(older->savePlan());
        Plan reread;
        PlanFiles::loadPlan(reread, path("Documents/2025/home.pkb"));
        QCOMPARE(reread.items().totalRowCount(), 2);
        PlanFiles::loadPlan(reread, path("Documents/home.pkb"));
        QCOMPARE(reread.items().totalRowCount(), 3);

        // One of them closed: the other takes its plain name again.
        newer->plan().setSaved(true);
        qobject_cast<QMdiSubWindow *>(newer->parentWidget())->close();
        QTRY_COMPARE(older->windowTitle(), QString("home.pkb"));

        // An imported plan never saved writes nothing when it closes.
        QDir().mkpath(path("Documents/export"));
        FileDialog::queuePath(path("Documents/export"));
        PlanCsv::writeFolder(older->plan(), path("Documents/export"));
        m_main->action("mnuImportCsv")->trigger();
        Tfrm_budget *imported = m_main->activePlanWindow();
        QCOMPARE(imported->planFileName(), QString("export.PKB"));
        MessageBox::queueAnswer(MessageBox::Answer::No);
        const QStringList before = QDir(path("Documents")).entryList(QDir::Files);
        qobject_cast<QMdiSubWindow *>(imported->parentWidget())->close();
        QTRY_VERIFY(!m_main->planWindows().contains(imported));
        QCOMPARE(QDir(path("Documents")).entryList(QDir::Files), before);
        QVERIFY(!QFile::exists(path("export.PKBini")));
        QVERIFY(!QFile::exists(QDir::current().filePath("export.PKBini")));
    }

    // The file dialogs start in the active plan's folder, else the last
    // folder used, else the documents folder; none of them moves the
    // current folder, and the suggested items and the browser's addresses
    // stay in the program's own folder.
    void fileDialogsStartWherePlansAre()
    {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString here = QDir::currentPath();
        // The start-up plan has no file: the documents folder (or the last one used).
        FileDialog::queueCancel();
        m_main->action("mnuOpenPlan")->trigger();
        const QString first = FileDialog::takeRequests().constFirst().directory;
        QVERIFY2(first == documents || first == QDir::homePath(), qPrintable(first));

        QDir().mkpath(path("plans"));
        writePlan(path("plans/home.pkb"));
        QVERIFY(m_main->documents()->openPlanFile(path("plans/home.pkb")));
        FileDialog::queueCancel();
        m_main->action("mnuOpenPlan")->trigger();
        QCOMPARE(FileDialog::takeRequests().constFirst().directory, path("plans"));

        // A folder chosen for an export is where the next dialog without a
        // plan file starts; the current folder stays.
        QDir().mkpath(path("elsewhere/csv"));
        FileDialog::queuePath(path("elsewhere/csv"));
        m_main->action("mnuExportCsv")->trigger();
        QCOMPARE(QDir::currentPath(), here);
        Tfrm_budget *plan = m_main->activePlanWindow();
        plan->setPlanfile(path("never-saved"));
        plan->plan().setSaved(false);
        FileDialog::queueCancel();
        QVERIFY(!plan->savePlan());
        const FileDialog::Request save = FileDialog::takeRequests().constLast();
        QCOMPARE(save.directory, path("elsewhere/csv"));
        QCOMPARE(save.fileName, QString("never-saved"));
        plan->setPlanfile(path("plans/home.pkb"));
        plan->plan().setSaved(true);
    }

    void exportOnAFullDisk()
    {
        SmallDisk disk(64 * 1024);
        SMALL_DISK_OR_SKIP(disk);
        writePlan(path("home.pkb"));
        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        QVERIFY(disk.leaveFree(0));
        FileDialog::queuePath(disk.path());
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("mnuExportCsv")->trigger();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains("No space left on device"), qPrintable(shown.first()));
        QCOMPARE(disk.entries(), QStringList());
    }

    void dueRemindersWhenAPlanOpens()
    {
        Clock::set(QDateTime(QDate(2026, 12, 29), QTime(9, 0)));
        writePlan(path("home.pkb"),
                  {{"E", "Home", "Rent", 31, "Pay the rent", 12},
                   {"E", "Home", "Rent", 15, "Not this week", 6},
                   {"I", "Work", "Wage", 2, "Wage comes in", 1}});
        writePlan(path("quiet.pkb"), {{"E", "Home", "Rent", 15, "Not this week", 6}});

        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        Tfrm_budget *plan = m_main->activePlanWindow();
        DueRemindersBar *bar = plan->dueRemindersBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(rowTexts(bar->list()),
                 QStringList({"Expense | Home | Rent | Pay the rent | 31/12/2026",
                              "Income | Work | Wage | Wage comes in | 02/01/2027"}));
        // Nothing waits for it: the plan window takes clicks while it shows.
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(plan->plan().items().rowCount(), 1); // the income page, as after any open

        // Its close button is where it is drawn, at the top of the window.
        QToolButton *close = bar->closeButton();
        const QPoint centre = close->mapTo(plan, close->rect().center());
        QCOMPARE(plan->childAt(centre), close);
        QVERIFY(bar->mapTo(plan, QPoint(0, 0)).y() < plan->toolButton("obnewitem")->mapTo(plan, QPoint(0, 0)).y());
        QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!bar->isVisible());

        QVERIFY(m_main->documents()->openPlanFile(path("quiet.pkb")));
        QVERIFY(!m_main->activePlanWindow()->dueRemindersBar()->isVisibleTo(m_main->activePlanWindow()));
    }

    // An installed program: its folder cannot be written, by the superuser
    // either; what it writes goes to the user's data folder, and it still
    // reads its own files where it is.
    void readOnlyProgramFolder()
    {
        m_main.reset();
        ReadOnlyFolder program([](const QString &folder) {
            QDir(folder).mkpath("help");
            for (const char *name : {"/pkhint.rtf", "/check.bmp"})
                QFile::copy(QStringLiteral(PURSEKEEP_RESOURCES) + name, folder + name);
        });
        QVERIFY(program.isReady());
        const QString user = m_user->filePath("kavo-pursekeep");
        m_main = std::make_unique<Tfrm_main>(program.path());
        m_main->show();
        QCOMPARE(m_main->programFolder(), user);
        QCOMPARE(m_main->resourceFolder(), program.path());

        // The configuration file.
        m_main->action("mnushowhints")->trigger();
        QVERIFY(QFile::exists(user + "/cfgpk.ini"));
        // The start-up plan and the settings copy of its save.
        Tfrm_budget *startup = m_main->activePlanWindow();
        QCOMPARE(startup->planfile(), user + "/Untitled1");
        QVERIFY(startup->savePlan());
        QVERIFY(QFile::exists(user + "/Untitled1"));
        QVERIFY(QFile::exists(user + "/Untitled1ini"));
        QCOMPARE(QDir(program.path()).entryList(QDir::Files), QStringList({"check.bmp", "pkhint.rtf"}));
        const QStringList shown = GuiTest::shownTexts();
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join(" | ")));
    }

    void programCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: pursekeep [options] [PLAN...]\n"
                                << "";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "pursekeep 3.0\n"
                                   << "";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "home.pkb"} << 2 << ""
                                        << "pursekeep: unknown option --frobnicate (run pursekeep --help for the "
                                           "usage)\n";
    }
    // --help and --version need no screen at all.
    void programCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (status == 0) {
            env.remove("QT_QPA_PLATFORM");
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
        }
        env.insert("XDG_RUNTIME_DIR", m_user->path());
        QFile::setPermissions(m_user->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PURSEKEEP_PROGRAM), args);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), status);
        const QString stdOut = QString::fromUtf8(process.readAllStandardOutput());
        if (out.isEmpty())
            QCOMPARE(stdOut, QString());
        else
            QVERIFY2(stdOut.startsWith(out), qPrintable(stdOut));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
