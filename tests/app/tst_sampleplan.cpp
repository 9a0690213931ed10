// Help > Open Sample Plan: the household plan installed with the program opens
// as a new plan with every page filled and its dates current, saving it asks
// for a name of the person's own, and the installed files are never written.
#include "GuiTestSupport.h"
#include "TestWidgets.h"

#include "app/frm_main.h"
#include "plan/CalendarTime.h"
#include "plan/Plan.h"
#include "plan/PlanImport.h"
#include "planwindow/DueRemindersBar.h"
#include "planwindow/frm_budget.h"
#include "widgets/TableModel.h"

#include <QAction>
#include <QDirIterator>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

class TestSamplePlan : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir; // the program folder, as a build folder is
    std::unique_ptr<QTemporaryDir> m_user; // XDG_DATA_HOME
    std::unique_ptr<Tfrm_main> m_main;

    QString sampleFolder() const { return m_dir->filePath("sample"); }

    // Every file under a folder with its bytes.
    static QMap<QString, QByteArray> contents(const QString &folder)
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            out[file.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
        }
        return out;
    }

    // The new plan window the menu entry opened, if it opened one.
    Tfrm_budget *openSample()
    {
        const int before = m_main->planWindows().size();
        m_main->action("mnuOpenSamplePlan")->trigger();
        return m_main->planWindows().size() == before + 1 ? m_main->activePlanWindow() : nullptr;
    }

    static QList<Table *> tables(Plan &p)
    {
        return {&p.items(), &p.categories(), &p.savings(), &p.loans(), &p.reminders()};
    }

    static int gridRows(Tfrm_budget *window, const char *name)
    {
        return child<QTableView>(window, name)->model()->rowCount();
    }

    static QStringList dueTexts(Tfrm_budget *window)
    {
        QStringList out;
        const QTreeWidget *list = window->dueRemindersBar()->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(3) + " " + list->topLevelItem(i)->text(4);
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
        // The program's read-only files as the build puts them beside it.
        QDir(m_dir->path()).mkpath("help");
        QDir(m_dir->path()).mkpath("sample");
        const QDir built(QStringLiteral(PURSEKEEP_PROGRAM_FOLDER "/sample"));
        for (const QString &name : built.entryList(QDir::Files))
            QVERIFY(QFile::copy(built.filePath(name), QDir(sampleFolder()).filePath(name)));
        QDir::setCurrent(m_dir->path());
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
    }

    void cleanup()
    {
        m_main.reset();
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
        m_user.reset();
        GUITEST_CLEANUP();
    }

    void opensEveryPageFilled()
    {
        Tfrm_budget *window = openSample();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QString("Sample Household.PKB"));
        QVERIFY(!window->saved());
        QVERIFY(!window->history()->canUndo());
        QCOMPARE(window->displayFrequency(), 3); // Monthly, as a household budgets

        // Every row of the CSV files it is made from, none lost on the way.
        Plan source;
        PlanImport import;
        QVERIFY2(import.read(PURSEKEEP_RESOURCES "/sample", source), qPrintable(import.errors().join('\n')));
        QVERIFY(import.warnings().isEmpty());
        Plan &plan = window->plan();
        const QList<Table *> shown = tables(plan);
        const QList<Table *> written = tables(source);
        for (qsizetype t = 0; t < shown.size(); ++t) {
            QVERIFY2(shown.at(t)->totalRowCount() > 0, qPrintable(shown.at(t)->name()));
            QCOMPARE(shown.at(t)->allRows().toRows(), written.at(t)->allRows().toRows());
        }

        // Something on every page, and every total counts.
        QVERIFY(testModels<TableModel>(window) > 0);
        const char *grids[] = {"dbgincome", "vdbg_savings", "DBGrid_loans", "vdbg_r_budget"};
        for (int page = 0; page < 4; ++page) {
            window->pages()->setCurrentIndex(page);
            QVERIFY2(gridRows(window, grids[page]) > 0, grids[page]);
        }
        for (const char *tree : {"tvcatinc", "tvcatexp"})
            QVERIFY2(window->findChild<QTreeView *>(tree)->model()->rowCount() > 1, tree);
        const QStringList totals = window->statusTexts();
        QCOMPARE(totals.size(), 5);
        for (const QString &total : totals)
            QVERIFY2(!total.endsWith("$0.00") && !total.contains('-'), qPrintable(total));

        // Reminders belong to items of the plan, on days their months have.
        const Table &items = plan.items();
        for (const Table::RowView r : plan.reminders().allRows()) {
            const QString item = r.at(0).toString() + "/" + r.at(1).toString() + "/" + r.at(2).toString();
            const bool found = std::any_of(items.allRows().begin(), items.allRows().end(), [&](const auto &i) {
                return i.at(4) == r.at(0) && i.at(3) == r.at(1) && i.at(0) == r.at(2);
            });
            QVERIFY2(found, qPrintable(item));
            QVERIFY2(QDate(2028, r.at(5).toInt(), r.at(3).toInt()).isValid(), qPrintable(item));
        }
    }

    // Years after it was made, its goals are under way and its loans still
    // being paid: counted in the totals, with the reminders of the week due.
    void keptCurrentInALaterYear()
    {
        const QDate today(2031, 3, 27);
        Clock::set(QDateTime(today, QTime(9, 0)));
        Tfrm_budget *window = openSample();
        QVERIFY(window);
        for (const Table *table : {&window->plan().savings(), &window->plan().loans()}) {
            const int start = table->fieldIndex("start");
            const int finish = table->fieldIndex("finish");
            for (const Table::RowView row : table->allRows()) {
                QVERIFY2(row.at(start).toDateTime().date() <= today, qPrintable(row.at(0).toString()));
                QVERIFY2(row.at(finish).toDateTime().date() > today, qPrintable(row.at(0).toString()));
            }
        }
        const QStringList totals = window->statusTexts();
        QVERIFY2(!totals.at(2).endsWith("$0.00") && !totals.at(3).endsWith("$0.00"), qPrintable(totals.join(" | ")));

        QVERIFY(window->dueRemindersBar()->isVisibleTo(window));
        QVERIFY2(dueTexts(window).contains("Pay the rent 01/04/2031"), qPrintable(dueTexts(window).join(" | ")));
    }

    // It is saved where the person says, under their name for it; the
    // program's copy stays as installed, not a byte or a lock file more.
    void savingAsksForAName()
    {
        const QMap<QString, QByteArray> installed = contents(sampleFolder());
        Tfrm_budget *window = openSample();
        QVERIFY(window);

        FileDialog::queueCancel();
        m_main->action("mnuSavePlan")->trigger();
        const QList<FileDialog::Request> asked = FileDialog::takeRequests();
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().save);
        QCOMPARE(asked.first().fileName, QString("Sample Household.PKB"));
        const QString startsIn = QFileInfo(asked.first().directory).canonicalFilePath();
        QVERIFY2(startsIn != QFileInfo(sampleFolder()).canonicalFilePath(), qPrintable(startsIn));
        QVERIFY(!window->saved());

        const QString mine = m_user->filePath("our budget.pkb");
        FileDialog::queuePath(mine);
        m_main->action("mnuSavePlan")->trigger();
        QVERIFY(window->saved());
        QCOMPARE(window->planfile(), mine);
        QCOMPARE(window->windowTitle(), QString("our budget.pkb"));
        QVERIFY(QFileInfo(mine + "rem").size() > 0);
        QCOMPARE(contents(sampleFolder()), installed);
    }

    void missingOrDamaged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // null: the file is gone
        QTest::addColumn<QString>("told");
        QTest::newRow("a table missing") << "household.pkbrem" << QByteArray()
                                         << "The sample plan is not installed with the program";
        QTest::newRow("a table cut short") << "household.pkbsv" << QByteArray("\x96\x19\xe0\xbd\x01", 5)
                                           << "The sample plan cannot be read; nothing was opened.";
        QTest::newRow("no display frequency") << "household.pkbini" << QByteArray("[freqvalue]\r\n0=Weekly\r\n")
                                              << "holds no display frequency ('Weekly')";
    }
    // Said plainly, and nothing opens.
    void missingOrDamaged()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        QFile target(QDir(sampleFolder()).filePath(file));
        if (bytes.isNull()) {
            QVERIFY(target.remove());
        } else {
            QVERIFY(target.open(QIODevice::WriteOnly | QIODevice::Truncate));
            target.write(bytes);
            target.close();
        }
        const int windows = m_main->planWindows().size();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        m_main->action("mnuOpenSamplePlan")->trigger();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(told) && shown.first().contains(file), qPrintable(shown.first()));
        QCOMPARE(m_main->planWindows().size(), windows);
    }
};

QTEST_MAIN(TestSamplePlan)
#include "tst_sampleplan.moc"
