#include "ChildProcess.h"
#include "DiskFailure.h"
#include "MainWindowTest.h"

#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "plan/PlanLock.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolButton>
#include <optional>
#include <sys/stat.h>

// The plans of the main window: the start-up plan, opening, creating, saving
// and closing plans, plans named on the command line, and the exit protocol.
class TestPlanDocuments : public MainWindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { GuiTest::initTestCase(); }
    void init() { startMainWindow(); }

    void cleanup()
    {
        closeMainWindow();
        GUITEST_CLEANUP();
    }

    void startsWithUntitled1()
    {
        // A maximised document window adds its title, as in every MDI program.
        QCOMPARE(m_main->windowTitle(), QString("Kavo Pursekeep - [Untitled1]"));
        Tfrm_budget *plan = onlyPlan();
        QVERIFY(plan);
        QCOMPARE(plan->windowTitle(), QString("Untitled1"));
        QCOMPARE(plan->planfile(), path("Untitled1"));
        QVERIFY(plan->parentWidget()->isMaximized());
        QCOMPARE(plan->statusTexts(),
                 QStringList({"Income Total: $0.00", "Expense Total: $0.00", "Savings Goals: $0.00",
                              "Total Loans: $0.00", "Balance: $0.00"}));
        QCOMPARE(plan->pages()->tabText(plan->pages()->currentIndex()), QString("Budget Items"));
        QCOMPARE(plan->findChild<RadioGroup *>("rg_items")->currentText(), QString("Income"));
        QCOMPARE(plan->findChild<RadioGroup *>("rgcat")->currentText(), QString("No"));
        QVERIFY(plan->findChild<QFrame *>("pnl_notes")->isHidden());
        QCOMPARE(plan->findChild<QComboBox *>("cb_item_total_freq")->currentText(), QString("Fortnightly"));
        QCOMPARE(plan->displayFrequencyName(), QString("Fortnightly"));
        QCOMPARE(plan->findChild<QLineEdit *>("ce_total")->text(), QString());
        QCOMPARE(plan->pagekind(), QString("income"));
        QVERIFY(plan->saved());
        QCOMPARE(plan->statusToolTip(), QString("Plan Balance Totals As Per Frequncy"));
        // Commands that need a plan follow the active window.
        QVERIFY(m_main->action("mnuSavePlan")->isEnabled());
        QVERIFY(m_main->action("mnuPrint")->isEnabled());
    }

    void savingUnchangedPlanWritesWithoutDialog()
    {
        m_main->action("mnuSavePlan")->trigger();
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            QVERIFY2(QFile::exists(path("Untitled1" + suffix)), qPrintable(suffix));
        QCOMPARE(QFileInfo(path("Untitled1")).size(), 206);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"Untitled1\" has been saved"});
        QVERIFY(onlyPlan()->saved());
    }

    void cancelledSaveWritesOnlyTheSettingsCopy()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->setSaved(false);
        plan->setDisplayFrequency(4);
        FileDialog::queueCancel();
        m_main->action("mnuSavePlan")->trigger();
        const auto requests = FileDialog::takeRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.front().title, QString("Save \"Untitled\" Budget Plan As"));
        // A plan that no file holds yet is saved where the person keeps
        // documents, not in the program's own folder its name points into.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QVERIFY2(requests.front().directory == documents || requests.front().directory == QDir::homePath(),
                 qPrintable(requests.front().directory));
        QCOMPARE(requests.front().fileName, QString("Untitled1"));
        QVERIFY(!QFile::exists(path("Untitled1")));
        QVERIFY(!QFile::exists(path("Untitled1cat")));
        QCOMPARE(PlanFiles::readDisplayFrequencyText(path("Untitled1ini")), QString("4"));
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"Untitled1\""});
        QVERIFY(!plan->saved());
        QCOMPARE(plan->windowTitle(), QString("Untitled1"));
    }

    void saveAsAlwaysAsksAndCancelLeavesItChanged()
    {
        Tfrm_budget *plan = onlyPlan();
        QVERIFY(plan->saved());
        FileDialog::queueCancel();
        m_main->action("mnuPlanSaveAs")->trigger();
        QCOMPARE(FileDialog::takeRequests().size(), 1);
        QVERIFY(!plan->saved());
        QVERIFY(Tfrm_msg::takeShownTexts().isEmpty());

        QDir(m_dir->path()).mkdir("elsewhere");
        FileDialog::queuePath(path("elsewhere/home.pkb"));
        m_main->action("mnuPlanSaveAs")->trigger();
        QVERIFY(plan->saved());
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        QVERIFY(QFile::exists(path("elsewhere/home.pkbrem")));
        QVERIFY(QFile::exists(path("home.pkbini"))); // the settings copy in the program folder
    }

    void saveOnAFailingDiskKeepsThePlan_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full disk") << true;
        QTest::newRow("file-size limit") << false;
    }

    // A save that cannot be completed says so, leaves the plan unsaved (so
    // closing still asks) and every file of the saved plan as it was.
    void saveOnAFailingDiskKeepsThePlan()
    {
        QFETCH(bool, fullDisk);
        SmallDisk disk(256 * 1024);
        if (fullDisk)
            SMALL_DISK_OR_SKIP(disk);
        const QString file = fullDisk ? disk.filePath("home.pkb") : path("home.pkb");
        writePlan(file, 3);
        QMap<QString, QByteArray> before;
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            before[suffix] = readAll(file + suffix);
        FileDialog::queuePath(file);
        m_main->barButton("sbtn_openplan")->click();
        Tfrm_budget *plan = m_main->activePlanWindow();
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        for (int i = 0; i < 300; ++i)
            plan->plan().items().appendRow({QStringLiteral("Extra %1").arg(i), "Weekly", 1, "Home", "E"});
        plan->setSaved(false);

        if (fullDisk)
            QVERIFY(disk.leaveFree(4096));
        FileDialog::queuePath(file);
        {
            std::optional<FileSizeLimit> limit;
            if (!fullDisk)
                limit.emplace(4096);
            plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        }
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"home.pkb\""});
        QVERIFY(!plan->saved());
        for (const QString suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            QVERIFY2(readAll(file + suffix) == before[suffix], qPrintable(suffix));
        if (fullDisk) {
            // Only the plan and the lock of its open window.
            QCOMPARE(disk.entries(),
                     QStringList({"home.pkb", "home.pkb.lock", "home.pkbcat", "home.pkbini", "home.pkbln",
                                  "home.pkbrem", "home.pkbsv"}));
            QVERIFY(!QFile::exists(path("home.pkbini"))); // the settings copy goes with the tables
        }

        // With room again, the same command saves it.
        if (fullDisk)
            QVERIFY(QFile::remove(disk.filePath(".filler")));
        FileDialog::queuePath(file);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), 302);
    }

    // Plans named on the command line open in their order instead of the
    // start-up plan, the last one active; a damaged one says why and the
    // others open; when none opens, the start-up plan does.
    void plansNamedOnTheCommandLine()
    {
        m_main.reset();
        writePlan(path("home.pkb"), 3);
        writePlan(path("work.pkb"), 1);
        QFile damaged(path("bad.pkb"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a plan");
        damaged.close();

        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->setPlansToOpen({path("home.pkb"), path("bad.pkb"), "work.pkb"}); // relative to the current folder
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->show();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().contains(path("bad.pkb")), qPrintable(shown.front()));
        QStringList titles;
        for (Tfrm_budget *plan : m_main->planWindows())
            titles << plan->windowTitle();
        QCOMPARE(titles, QStringList({"home.pkb", "work.pkb"}));
        QCOMPARE(m_main->activePlanWindow()->windowTitle(), QString("work.pkb"));
        QCOMPARE(m_main->activePlanWindow()->displayFrequencyName(), QString("Weekly"));
        m_main.reset();

        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->setPlansToOpen({path("bad.pkb")});
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->show();
        MessageBox::takeShown();
        QCOMPARE(m_main->planWindows().size(), 1);
        QCOMPARE(m_main->activePlanWindow()->windowTitle(), QString("Untitled1"));
    }

    void openingAPlan()
    {
        QDir(m_dir->path()).mkdir("plans");
        writePlan(path("plans/home.pkb"), 3);
        FileDialog::queuePath(path("plans/home.pkb"));
        m_main->barButton("sbtn_openplan")->click();
        QCOMPARE(m_main->planWindows().size(), 2);
        Tfrm_budget *plan = m_main->activePlanWindow();
        QCOMPARE(plan->windowTitle(), QString("home.pkb"));
        QCOMPARE(plan->planfile(), path("plans/home.pkb"));
        QCOMPARE(plan->displayFrequencyName(), QString("Monthly"));
        QCOMPARE(plan->statusTexts().at(4), QString("Balance: $565.18"));
        QCOMPARE(plan->plan().items().rowCount(), 1); // the income items
        QCOMPARE(plan->plan().items().filter(), QString("catid = 'I'"));
        QVERIFY(plan->saved());

        // The same file again only brings it forward.
        m_main->documentArea()->setActiveSubWindow(m_main->documentArea()->subWindowList().front());
        FileDialog::queuePath(path("plans/home.pkb"));
        m_main->action("mnuOpenPlan")->trigger();
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(m_main->activePlanWindow(), plan);
        QCOMPARE(plan->planfile(), path("plans/home.pkb"));

        // Cancelled: nothing opens.
        FileDialog::queueCancel();
        QVERIFY(!m_main->documents()->openPlan());
        QCOMPARE(m_main->planWindows().size(), 2);
    }

    void openingWithoutSettingsFile()
    {
        writePlan(path("nosettings.pkb"), -1);
        QFile::remove(path("nosettings.pkbsv"));
        FileDialog::queuePath(path("nosettings.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->documents()->openPlan();
        // No settings file is no error: the plan shows at Fortnightly. The
        // missing savings file is named.
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Warning);
        QCOMPARE(shown.front().text,
                 QString("\"nosettings.pkb\" lacks files of the plan, so what they hold is not "
                         "shown:\nnosettings.pkbsv"));
        Tfrm_budget *plan = m_main->activePlanWindow();
        QVERIFY(plan->isVisible());
        QCOMPARE(plan->windowTitle(), QString("nosettings.pkb"));
        QCOMPARE(plan->plan().items().totalRowCount(), 2);
        QCOMPARE(plan->plan().savings().totalRowCount(), 0);
        QCOMPARE(plan->displayFrequencyName(), QString("Fortnightly"));
        QCOMPARE(plan->plan().categoryTrees().income.size(), 1);
    }

    // A plan open in another running copy is opened only when the person
    // says so, and then without its lock; a lock whose process died does not
    // count; the window that holds the lock gives it up when it closes.
    void aPlanOpenElsewhereIsOpenedOnlyWhenSaidSo()
    {
        writePlan(path("shared.pkb"), 3);
        const QString lockFile = path("shared.pkb.lock");
        {
            PlanLock elsewhere(path("shared.pkb"), PlanLock::Kind::Open);
            QCOMPARE(elsewhere.tryLock(), PlanLock::Result::Locked);
            const QString question = QString("\"%1\" is open in another copy of the program (process %2")
                                         .arg(path("shared.pkb"))
                                         .arg(QCoreApplication::applicationPid());
            MessageBox::queueAnswer(MessageBox::Answer::No);
            QVERIFY(!m_main->documents()->openPlanFile(path("shared.pkb")));
            auto shown = MessageBox::takeShown();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.front().text.startsWith(question), qPrintable(shown.front().text));
            QCOMPARE(shown.front().defaultAnswer, MessageBox::Answer::No);
            QCOMPARE(m_main->planWindows().size(), 1);

            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            QVERIFY(m_main->documents()->openPlanFile(path("shared.pkb")));
            QCOMPARE(MessageBox::takeShown().size(), 1);
            Tfrm_budget *plan = m_main->activePlanWindow();
            QCOMPARE(plan->windowTitle(), QString("shared.pkb"));
            QVERIFY(!plan->holdsOpenLock());
            plan->setSaved(true);
            delete plan->parentWidget();
        }
        QVERIFY(!QFile::exists(lockFile));

        // Held by a program that has died since: the lock file stays.
        QCOMPARE(exitStatusOfChild([&] {
                     auto *lock = new PlanLock(path("shared.pkb"), PlanLock::Kind::Open);
                     return lock->tryLock() == PlanLock::Result::Locked ? 0 : 1;
                 }),
                 0);
        QVERIFY(QFile::exists(lockFile));
        QVERIFY(m_main->documents()->openPlanFile(path("shared.pkb")));
        QVERIFY(MessageBox::takeShown().isEmpty());
        Tfrm_budget *plan = m_main->activePlanWindow();
        QVERIFY(plan->holdsOpenLock());
        QVERIFY(QFile::exists(lockFile));
        {
            PlanLock second(path("shared.pkb"), PlanLock::Kind::Open);
            QCOMPARE(second.tryLock(), PlanLock::Result::HeldElsewhere);
        }
        plan->setSaved(true);
        delete plan->parentWidget();
        QVERIFY(!QFile::exists(lockFile));
    }

    // A named pipe where a plan file should be is refused at once, with
    // why, instead of freezing the window with the other plans in it.
    void aPipeInAPlanFilesPlaceIsRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("the main file") << "";
        QTest::newRow("the reminders file") << "rem";
    }

    void aPipeInAPlanFilesPlaceIsRefusedAtOnce()
    {
        QFETCH(QString, suffix);
        writePlan(path("piped.pkb"), 3);
        QFile::remove(path("piped.pkb") + suffix);
        QCOMPARE(::mkfifo(QFile::encodeName(path("piped.pkb") + suffix).constData(), 0600), 0);
        QElapsedTimer timer;
        timer.start();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        QVERIFY(!m_main->documents()->openPlanFile(path("piped.pkb")));
        QVERIFY(timer.elapsed() < 5000);
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.front().contains(path("piped.pkb") + suffix) && texts.front().contains("named pipe"),
                 qPrintable(texts.front()));
        QCOMPARE(m_main->planWindows().size(), 1);
        QVERIFY(!QFile::exists(path("piped.pkb.lock")));
    }

    // Another program (a sync tool, another computer) replaced the plan's
    // files after this window read them: Save asks before it writes over
    // them, and No keeps theirs.
    void saveOverFilesChangedOnDiskAsksFirst()
    {
        writePlan(path("home.pkb"), 3);
        QVERIFY(m_main->documents()->openPlanFile(path("home.pkb")));
        Tfrm_budget *plan = m_main->activePlanWindow();
        plan->plan().items().appendRow({"Mine", "Weekly", 5, "Home", "E"});
        plan->setSaved(false);

        Plan theirs;
        theirs.categories().appendRow({"Work", "I"});
        theirs.items().appendRow({"Theirs", "Daily", 7, "Work", "I"});
        PlanFiles::savePlan(theirs, path("home.pkb"), QString(), 3);
        const QByteArray theirBytes = readAll(path("home.pkb"));

        FileDialog::queuePath(path("home.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::No);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        auto shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.front().kind, MessageBox::Kind::Warning);
        QCOMPARE(shown.front().text,
                 QString("\"home.pkb\" has been changed on disk by another program since it "
                         "was opened or last saved here.\nSaving now replaces those changes "
                         "with this plan. Overwrite it?"));
        QCOMPARE(shown.front().defaultAnswer, MessageBox::Answer::No);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"Failed To Save : \"home.pkb\""});
        QCOMPARE(readAll(path("home.pkb")), theirBytes);
        QVERIFY(!plan->saved());

        FileDialog::queuePath(path("home.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QCOMPARE(MessageBox::takeShown().size(), 1);
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        Plan back;
        PlanFiles::loadPlan(back, path("home.pkb"));
        QCOMPARE(back.items().totalRowCount(), 3);
        // Its own save is no change by another program: the next one asks nothing.
        plan->findChild<QAbstractButton *>("LMDSbtn_save_plan")->click();
        QVERIFY(MessageBox::takeShown().isEmpty());
        QCOMPARE(Tfrm_msg::takeShownTexts(), QStringList{"File : \"home.pkb\" has been saved"});
        QCOMPARE(PlanFiles::readDisplayFrequencyText(path("home.pkbini")), QString("3"));
    }

    void openingADamagedPlanShowsWhyAndOpensNothing()
    {
        writePlan(path("damaged.pkb"), 2);
        QFile f(path("damaged.pkbcat"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("not a plan file at all, just some words");
        f.close();
        FileDialog::queuePath(path("damaged.pkb"));
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->documents()->openPlan();
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.front().contains(path("damaged.pkbcat")), qPrintable(texts.front()));
        QCOMPARE(m_main->planWindows().size(), 1);
    }

    void newPlanDialog()
    {
        Tfrm_budget *plan = newPlanNamed("Holiday");
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(plan->windowTitle(), QString("Holiday.PKB"));
        QCOMPARE(plan->planfile(), QString("Holiday.PKB"));
        QVERIFY(!QFile::exists(path("Holiday.PKB")));

        // Saving it unchanged writes it beside the current folder, no dialog.
        plan->toolButton("LMDSbtn_save_plan")->click();
        QVERIFY(QFile::exists(path("Holiday.PKB")));
        QVERIFY(QFile::exists(path("Holiday.PKBrem")));

        ModalRunner::setHook([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("eb_newplan")->setText("Ignored");
            dialog->findChild<QPushButton *>("LMDsbtn_cancel")->click();
        });
        m_main->documents()->newPlan();
        QCOMPARE(m_main->planWindows().size(), 2);
        QCOMPARE(m_main->documents()->pendingPlanName(), QString());
    }

    void closeAskingAboutUnsavedChanges()
    {
        Tfrm_budget *plan = onlyPlan();
        plan->setSaved(false);
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        plan->toolButton("obcloseplan")->click();
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"Changes made to : \r\"" + path("Untitled1")
                             + "\"\rhave NOT been saved.\rDo you wish to save them now ?"});
        QCOMPARE(m_main->planWindows().size(), 1);
        QVERIFY(!QFile::exists(path("Untitled1ini"))); // a plan no file holds has no settings file

        MessageBox::queueAnswer(MessageBox::Answer::No);
        m_main->action("mnuPlanClose")->trigger();
        QTRY_COMPARE(m_main->planWindows().size(), 0);
        QVERIFY(!QFile::exists(path("Untitled1"))); // closing writes no table file
        QVERIFY(!m_main->action("mnuSavePlan")->isEnabled());
    }

    void closeAllStopsAtTheRefusingPlan()
    {
        Tfrm_budget *first = onlyPlan();
        Tfrm_budget *middle = newPlanNamed("Middle");
        Tfrm_budget *last = newPlanNamed("Last");
        Q_UNUSED(last);
        middle->setSaved(false);
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        m_main->action("mnuPlanCloseAll")->trigger();
        QCOMPARE(MessageBox::takeShown().size(), 1);
        const auto plans = m_main->planWindows();
        QCOMPARE(plans, (QList<Tfrm_budget *>{first, middle}));
        QVERIFY(middle->parentWidget()->isMaximized());
        QCOMPARE(m_main->activePlanWindow(), middle);
    }

    void exitProtocol()
    {
        Tfrm_budget *first = onlyPlan();
        Tfrm_budget *second = newPlanNamed("Second");
        first->setSaved(false);
        second->setSaved(false);

        // The last window is asked first; Cancel there stops the exit.
        MessageBox::queueAnswer(MessageBox::Answer::Cancel);
        QVERIFY(!m_main->close());
        QCOMPARE(MessageBox::takeShown().size(), 1);
        QCOMPARE(m_main->planWindows().size(), 2);
        QVERIFY(second->parentWidget()->isMaximized());
        QVERIFY(!m_main->isClosingAll());

        // No for both ends the program without saving.
        MessageBox::queueAnswer(MessageBox::Answer::No);
        MessageBox::queueAnswer(MessageBox::Answer::No);
        QVERIFY(m_main->close());
        QCOMPARE(MessageBox::takeShown().size(), 2);
        QVERIFY(!QFile::exists(path("Untitled1")));
        QVERIFY(!QFile::exists(path("Second.PKB")));
    }

    void exitWithUnchangedPlansAsksNothing()
    {
        newPlanNamed("Another");
        QVERIFY(m_main->close());
    }
};

QTEST_MAIN(TestPlanDocuments)
#include "tst_plandocuments.moc"
