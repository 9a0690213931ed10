#include "GuiTestSupport.h"
#include "SamplePlans.h"

#include "app/frm_main.h"
#include "app/PlanDocuments.h"
#include "widgets/frm_msg.h"
#include "editors/frm_cats.h"
#include "PlanSnapshot.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"
#include "planwindow/ItemsPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/CurrencyBox.h"
#include "widgets/RadioGroup.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

namespace {

using Snapshot = PlanSnapshot;

QDateTime day(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0));
}

// The text of a menu entry as it is read, without its mnemonic marks.
QString shown(const QAction *action)
{
    QString text = action->text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

using Command = std::function<void()>;

} // namespace

// Undo and redo of the changes a person makes through the plan window, its
// editors and the category administration, from the main window's Edit menu
// and its keys.
class TestUndo : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;
    Tfrm_budget *m_window = nullptr;

    Tfrm_budget &w() { return *m_window; }
    Plan &plan() { return m_window->plan(); }
    QAction *action(const char *name) { return m_main->findChild<QAction *>(QLatin1String(name)); }
    void click(const char *button) { w().toolButton(QLatin1String(button))->click(); }
    void goTo(Table &table, const QString &field, const QString &text)
    {
        for (int r = 0; r < table.rowCount(); ++r) {
            table.goTo(r);
            if (table.asString(field) == text)
                return;
        }
        QFAIL(qPrintable("no row shown with " + field + " = " + text));
    }
    void save()
    {
        FileDialog::queuePath(m_dir->filePath("home.pkb"));
        click("LMDSbtn_save_plan");
        FileDialog::takeRequests();
        Tfrm_msg::takeShownTexts();
    }
    void showExpenses()
    {
        w().pages()->setCurrentIndex(0);
        w().itemsPage()->showKind(true);
    }
    // Runs `fill` on the modal dialog the next command opens.
    template <typename D>
    void onDialog(std::function<void(D *)> fill)
    {
        ModalRunner::setHook([fill](QDialog *dialog) {
            auto *typed = qobject_cast<D *>(dialog);
            QVERIFY(typed);
            fill(typed);
        });
    }

    static void writePlan(const QString &file)
    {
        PlanRows{.categories = {{"Work", "I"}, {"Food", "E"}, {"Home", "E"}, {"Car", "E"}},
                 .items = {{"Wage", "Monthly", 3000, "Work", "I"},
                           {"Rent", "Monthly", 1200, "Home", "E", "first of the month"},
                           {"Power", "Quarterly", 300, "Home", "E"},
                           {"Bread", "Weekly", 8, "Food", "E"},
                           {"Fuel", "Weekly", 60, "Car", "E"}},
                 .reminders = {{"E", "Home", "Rent", 1, "pay rent", 1},
                               {"E", "Home", "Rent", 1, "pay rent", 2},
                               {"E", "Home", "Power", 15, "meter", 3},
                               {"E", "Food", "Bread", 2, "bake", 5},
                               {"I", "Work", "Wage", 28, "payslip", 6}},
                 .savings = {{"Boat", 5200, day(2026, 1, 1), day(2027, 1, 1), "Weekly", 100}},
                 .loans = {{"Car", "Bank", 9000, 300, "Monthly", day(2025, 1, 1), 3, day(2028, 1, 1), 6.5}}}
            .save(file);
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
        writePlan(m_dir->filePath("home.pkb"));
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->show();
        QVERIFY(m_main->documents()->openPlanFile(m_dir->filePath("home.pkb")));
        m_window = m_main->activePlanWindow();
        QVERIFY(m_window);
        QVERIFY(testModels<TableModel>(m_window) > 0);
        QVERIFY(w().saved());
    }

    void cleanup()
    {
        ModalRunner::setHook({});
        if (m_window)
            w().setSaved(true);
        m_main.reset();
        GUITEST_CLEANUP();
    }

    void everyCommandUndoesAndRedoes_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("step");

        QTest::newRow("delete item with reminders") << Command([this] {
            showExpenses();
            goTo(plan().items(), "item", "Rent");
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            click("obdeleteitem");
        }) << "Delete Item \"Rent\"";
        QTest::newRow("item renamed, reminders follow") << Command([this] {
            showExpenses();
            goTo(plan().items(), "item", "Rent");
            onDialog<QDialog>([](QDialog *d) {
                d->findChild<QComboBox *>("ebitem")->setEditText("Mortgage");
                d->findChild<QPushButton *>("LMDSB_OK")->click();
            });
            click("obedititem");
        }) << "Change Item \"Rent\"";
        QTest::newRow("new item") << Command([this] {
            showExpenses();
            onDialog<QDialog>([](QDialog *d) {
                d->findChild<QComboBox *>("ebitem")->setEditText("Water & sewage");
                d->findChild<CurrencyBox *>("ceamt")->setValue(45.5);
                d->findChild<QPushButton *>("LMDSB_OK")->click();
            });
            click("obnewitem");
        }) << "Add Item \"Water & sewage\"";
        QTest::newRow("category deleted with items and reminders") << Command([this] {
            onDialog<Tfrm_cats>([this](Tfrm_cats *d) {
                d->findChild<RadioGroup *>("rgcat")->button(1)->click();
                goTo(plan().categories(), "cat", "Home");
                MessageBox::queueAnswer(MessageBox::Answer::Yes);
                d->findChild<QPushButton *>("btn_cat_del")->click();
                d->findChild<QPushButton *>("btn_close")->click();
            });
            click("obeditcat");
        }) << "Delete Category \"Home\"";
        QTest::newRow("clear all expense items") << Command([this] {
            showExpenses();
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            click("obclearall");
        }) << "Clear All Expense Items";
        QTest::newRow("savings goal edited") << Command([this] {
            w().pages()->setCurrentIndex(1);
            onDialog<QDialog>([](QDialog *d) {
                d->findChild<QLineEdit *>("eb_savdesc")->setText("Yacht");
                d->findChild<QPushButton *>("btn_OK")->click();
            });
            click("obedititem");
        }) << "Change Savings Goal \"Boat\"";
        QTest::newRow("loan edited") << Command([this] {
            w().pages()->setCurrentIndex(2);
            onDialog<QDialog>([](QDialog *d) {
                d->findChild<QLineEdit *>("eb_purpose")->setText("Truck");
                d->findChild<QLineEdit *>("eb_lender")->setText("Credit union");
                d->findChild<QPushButton *>("LMDSB_save")->click();
            });
            click("obedititem");
        }) << "Change Loan \"Car\"";
        QTest::newRow("reminder series added") << Command([this] {
            showExpenses();
            goTo(plan().items(), "item", "Bread");
            click("lmssbtn_addremind");
            QDialog *editor = w().findChild<QDialog *>("frm_reminder");
            QVERIFY(editor);
            editor->findChild<QLineEdit *>("eb_desc")->setText("buy flour");
            editor->findChild<QAbstractButton *>("cb_addfor")->click();
            editor->findChild<QPushButton *>("LMDSB_save")->click();
            QTRY_VERIFY(!w().findChild<QDialog *>("frm_reminder"));
        }) << "Add Reminders \"buy flour\"";
        QTest::newRow("reminder deleted from its page") << Command([this] {
            w().pages()->setCurrentIndex(3);
            w().findChild<RadioGroup *>("rg_r_items")->button(1)->click(); // expense reminders, every month
            goTo(plan().reminders(), "desc", "meter");
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            w().findChild<QAbstractButton *>("lmdsbtn_reminder_delete")->click();
        }) << "Delete Reminder \"meter\"";
        QTest::newRow("loan deleted") << Command([this] {
            w().pages()->setCurrentIndex(2);
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            click("obdeleteitem");
        }) << "Delete Loan \"Car\"";
    }

    // Each command is one step, named in the Edit menu; undo puts every row
    // back, totals and status bar with them, and redo makes it again.
    void everyCommandUndoesAndRedoes()
    {
        QFETCH(Command, command);
        QFETCH(QString, step);
        const Snapshot before(plan());
        const QStringList statusBefore = w().statusTexts();
        QVERIFY(!action("mnuUndo")->isEnabled());
        QCOMPARE(shown(action("mnuUndo")), QString("Undo"));

        command();
        MessageBox::takeShown();
        const Snapshot after(plan());
        const QStringList statusAfter = w().statusTexts();
        QVERIFY(!(after == before));
        QVERIFY(!w().saved());
        QCOMPARE(w().history()->count(), 1);
        QVERIFY(action("mnuUndo")->isEnabled());
        QCOMPARE(shown(action("mnuUndo")), "Undo " + step);

        action("mnuUndo")->trigger();
        QVERIFY(Snapshot(plan()) == before);
        QCOMPARE(w().statusTexts(), statusBefore);
        QVERIFY(w().saved()); // back where the file is
        QCOMPARE(shown(action("mnuRedo")), "Redo " + step);

        action("mnuRedo")->trigger();
        QVERIFY(Snapshot(plan()) == after);
        QCOMPARE(w().statusTexts(), statusAfter);
        QVERIFY(!w().saved());
    }

    // The keys reach the active plan window's history, with the undone row
    // current again on the page it was deleted from.
    void keysUndoOnThePageOfTheChange()
    {
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        showExpenses();
        goTo(plan().items(), "item", "Power");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        MessageBox::takeShown();
        QVERIFY(plan().items().asString("item") != "Power");
        w().pages()->setCurrentIndex(1); // the person moved on to the savings page

        QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().pages()->currentIndex(), 0);
        QCOMPARE(w().pagekind(), QString("expense"));
        QCOMPARE(plan().items().asString("item"), QString("Power"));
        QCOMPARE(plan().reminders().totalRowCount(), 5);
        QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(plan().reminders().totalRowCount(), 4);
        QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(m_main.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(plan().items().totalRowCount(), 4);
        QCOMPARE(w().history()->index(), 1);
    }

    // The category administration's own Undo takes back its last rename;
    // once closed, each of its renames and deletes is one step of the plan's
    // history, and undoing all of them gives the plan as it was.
    void categoryAdministrationMakesOneStepPerChange()
    {
        showExpenses();
        const Snapshot before(plan());
        onDialog<Tfrm_cats>([this](Tfrm_cats *d) {
            auto *name = d->findChild<QLineEdit *>("ebcatname");
            d->findChild<RadioGroup *>("rgcat")->button(1)->click();
            goTo(plan().categories(), "cat", "Food");
            name->setText("Groceries");
            d->findChild<QPushButton *>("btn_cat_edit")->click();
            d->findChild<QPushButton *>("btn_cat_undo")->click(); // Food again
            goTo(plan().categories(), "cat", "Car");
            name->setText("Auto");
            d->findChild<QPushButton *>("btn_cat_edit")->click();
            goTo(plan().categories(), "cat", "Home");
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            d->findChild<QPushButton *>("btn_cat_del")->click();
            d->findChild<QPushButton *>("btn_close")->click();
        });
        click("obeditcat");
        MessageBox::takeShown();
        QUndoStack *history = w().history();
        QStringList steps;
        for (int i = 0; i < history->count(); ++i)
            steps << history->text(i);
        QCOMPARE(steps,
                 QStringList({"Rename Category \"Food\"", "Rename Category \"Groceries\"", "Rename Category \"Car\"",
                              "Delete Category \"Home\""}));
        int fuel = 0;
        for (const Table::Row &row : plan().items().allRows())
            fuel += row.at(0).toString() == "Fuel" && row.at(3).toString() == "Auto";
        QCOMPARE(fuel, 1);

        for (int i = 0; i < 4; ++i)
            action("mnuUndo")->trigger();
        QVERIFY(Snapshot(plan()) == before);
        QVERIFY(w().saved());
        for (int i = 0; i < 4; ++i)
            action("mnuRedo")->trigger();
        QCOMPARE(plan().categories().totalRowCount(), 3);
    }

    // A category the items page is narrowed on follows an undone rename.
    void narrowedItemsFollowAnUndoneRename()
    {
        showExpenses();
        w().findChild<RadioGroup *>("rgcat")->button(0)->click(); // narrow on one category
        onDialog<Tfrm_cats>([this](Tfrm_cats *d) {
            d->findChild<RadioGroup *>("rgcat")->button(1)->click();
            goTo(plan().categories(), "cat", "Car");
            d->findChild<QLineEdit *>("ebcatname")->setText("Auto");
            d->findChild<QPushButton *>("btn_cat_edit")->click();
            d->findChild<QPushButton *>("btn_close")->click();
        });
        click("obeditcat");
        Table &items = plan().items();
        items.setFilter(categoryFilter("E", "Auto"));
        QCOMPARE(items.rowCount(), 1);
        action("mnuUndo")->trigger();
        QCOMPARE(items.filter(), categoryFilter("E", "Car"));
        QCOMPARE(items.rowCount(), 1);
        QCOMPARE(items.asString("item"), QString("Fuel"));
        action("mnuRedo")->trigger();
        QCOMPARE(items.filter(), categoryFilter("E", "Auto"));
        QCOMPARE(items.asString("item"), QString("Fuel"));
    }

    // The saved state is a place in the history: undoing back to it needs no
    // question on close; a save makes a new one.
    void savedStateIsAPlaceInTheHistory()
    {
        showExpenses();
        for (const char *item : {"Bread", "Fuel"}) {
            goTo(plan().items(), "item", item);
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            click("obdeleteitem");
        }
        MessageBox::takeShown();
        save();
        QVERIFY(w().saved());
        action("mnuUndo")->trigger();
        QVERIFY(!w().saved());
        action("mnuRedo")->trigger();
        QVERIFY(w().saved());
        action("mnuUndo")->trigger();
        action("mnuUndo")->trigger();
        QVERIFY(!w().saved());

        // A new change after undoing drops the steps that were undone, and
        // the saved state with them.
        goTo(plan().items(), "item", "Rent");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        MessageBox::takeShown();
        QCOMPARE(w().history()->count(), 1);
        action("mnuUndo")->trigger();
        QVERIFY(!w().saved()); // the file holds the plan without Bread and Fuel

        // Closing an unchanged plan asks nothing.
        action("mnuRedo")->trigger();
        save();
        action("mnuUndo")->trigger();
        action("mnuRedo")->trigger();
        QVERIFY(w().saved());
        auto *sub = qobject_cast<QMdiSubWindow *>(w().parentWidget());
        QVERIFY(sub);
        QVERIFY(sub->close());
        QVERIFY(MessageBox::takeShown().isEmpty());
    }

    // Rows changed around the history (never by the program's own commands)
    // make its steps unfit: Undo then changes nothing, says so, and forgets them.
    void rowsChangedAroundTheHistoryAreNeverUndoneBlindly()
    {
        showExpenses();
        goTo(plan().items(), "item", "Rent");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        MessageBox::takeShown();
        plan().items().appendRow({"Gas", "Monthly", 40, "Home", "E"});
        const Snapshot changed(plan());
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        action("mnuUndo")->trigger();
        QVERIFY(Snapshot(plan()) == changed);
        QTRY_COMPARE(w().history()->count(), 0);
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{"The plan was changed outside its undo history: the earlier "
                             "changes can no longer be undone."});
        QVERIFY(!w().saved());
        QVERIFY(!action("mnuUndo")->isEnabled());
    }

    // Two plans keep two histories; the Edit menu follows the active one.
    void eachPlanWindowKeepsItsOwnHistory()
    {
        showExpenses();
        goTo(plan().items(), "item", "Rent");
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click("obdeleteitem");
        writePlan(m_dir->filePath("second.pkb"));
        QVERIFY(m_main->documents()->openPlanFile(m_dir->filePath("second.pkb")));
        Tfrm_budget *second = m_main->activePlanWindow();
        QVERIFY(second != m_window);
        QVERIFY(!action("mnuUndo")->isEnabled());
        m_main->findChild<QMdiArea *>()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(m_window->parentWidget()));
        QCOMPARE(shown(action("mnuUndo")), QString("Undo Delete Item \"Rent\""));
        action("mnuUndo")->trigger();
        QCOMPARE(plan().items().totalRowCount(), 5);
        QCOMPARE(second->plan().items().totalRowCount(), 5);
        MessageBox::takeShown();
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
