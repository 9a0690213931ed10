#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestFiles.h"
#include "TestWidgets.h"

#include "editors/frm_items.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"
#include "planwindow/frm_budget.h"
#include "widgets/CurrencyBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>

// The item editor on a plan window's tables: new and changed items, reminders
// following a changed item, the frequency list, keys, and the suggested-items
// lists it keeps in the program's folder.
class TestItemEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldDir;
    std::unique_ptr<Tfrm_budget> m_window;
    std::unique_ptr<Tfrm_items> m_editor;

    Plan &plan() { return m_window->plan(); }
    QComboBox *ebitem() { return child<QComboBox>(m_editor.get(), "ebitem"); }
    QListWidget *frequencies() { return child<QListWidget>(m_editor.get(), "clbfrequency"); }
    QString category() { return child<QLineEdit>(m_editor.get(), "DBEdit_cat")->text(); }

    // The editor as New Item and Edit Item open it, on the given item, active.
    void open(const QString &kind, const QString &mode, const QString &item = QString())
    {
        const QString letter = kind == "income" ? "I" : "E";
        plan().items().setFilter(kindFilter(letter));
        plan().items().setFiltered(true);
        for (int r = 0; r < plan().items().rowCount(); ++r)
            if (plan().items().visibleValue(r, 0).toString() == item)
                plan().items().goTo(r);
        plan().categories().setFilter(kindFilter(letter));
        plan().categories().setFiltered(true);
        m_editor = std::make_unique<Tfrm_items>(m_window.get(), kind, mode, letter);
        QVERIFY(testModels<TableModel>(m_editor.get()) > 0);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }
    void typeDescription(const QString &text)
    {
        ebitem()->lineEdit()->selectAll();
        QTest::keyClick(ebitem(), Qt::Key_Backspace);
        QTest::keyClicks(ebitem(), text);
    }
    void clickCategory(int row)
    {
        auto *grid = child<QTableView>(m_editor.get(), "DBC");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 0)).center());
    }
    void clickOk() { QTest::mouseClick(child<QPushButton>(m_editor.get(), "LMDSB_OK"), Qt::LeftButton); }
    QStringList checkedRows()
    {
        QStringList out;
        for (int r = 0; r < frequencies()->count(); ++r)
            if (frequencies()->item(r)->checkState() == Qt::Checked)
                out << frequencies()->item(r)->text();
        return out;
    }
    // "cat|item|freq|amount" of every item, or the notes of one.
    QStringList itemRows()
    {
        QStringList out;
        for (const Table::Row &r : plan().items().allRows())
            out << QStringList{r[3].toString(), r[0].toString(), r[1].toString(), r[2].toString()}.join('|');
        return out;
    }
    QString notesOf(const QString &item)
    {
        for (const Table::Row &r : plan().items().allRows())
            if (r[0].toString() == item)
                return r[5].toString();
        return "<no item>";
    }

    QString listFile(const QString &kind) const
    {
        return QDir(m_window->programFolder()).filePath(Tfrm_items::listFileName(kind));
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        m_oldDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        // The program's own folder, where the suggested-items lists are kept.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath("data")));
        m_window = std::make_unique<Tfrm_budget>(nullptr);
        PlanRows{.categories = {{"Work", "I"}, {"Gifts", "I"}, {"Car", "E"}, {"Food", "E"}},
                 .items = {{"Wage", "Monthly", 1000, "Work", "I", "paid\r\non the 1st"},
                           {"Bonus", "Yearly", 500, "Work", "I"},
                           {"Superannuation contribution", "Monthly", 90, "Work", "I"},
                           {"Tyres", "Weekly", 100, "Car", "E"}},
                 .reminders = {{"I", "Work", "Wage", 1, "payslip 1", 1},
                               {"I", "Work", "Wage", 1, "payslip 2", 2},
                               {"I", "Work", "Wage", 1, "payslip 3", 3},
                               {"I", "Work", "Superannuation contribution", 2, "statement", 7},
                               {"E", "Car", "Tyres", 5, "rotate", 6}}}
            .fillIn(plan());
        QVERIFY(testModels<TableModel>(m_window.get()) > 0);
        plan().setSaved(true);
    }

    void cleanup()
    {
        m_editor.reset();
        m_window.reset();
        QDir::setCurrent(m_oldDir);
        m_dir.reset();
        GUITEST_CLEANUP();
    }

    void newItemAndSuggestedList_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("fileBefore"); // empty: no file
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("first use writes the file") << "income" << QByteArray() << "Rent" << QByteArray("Rent\r\n");
        QTest::newRow("case-different entry") << "income" << QByteArray("Rent\n") << "rent" << QByteArray("Rent\n");
        QTest::newRow("sorted without case")
            << "income" << QByteArray("Zoo\nbonus\n") << "Apple" << QByteArray("Apple\r\nbonus\r\nZoo\r\n");
        QTest::newRow("blanks kept") << "income" << QByteArray() << " Tips " << QByteArray(" Tips \r\n");
        QTest::newRow("expense list") << "expense" << QByteArray() << "Fuel" << QByteArray("Fuel\r\n");
    }

    void newItemAndSuggestedList()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, fileBefore);
        QFETCH(QString, typed);
        QFETCH(QByteArray, fileAfter);
        const QString file = listFile(kind);
        if (!fileBefore.isEmpty())
            writeFile(file, fileBefore);
        open(kind, "new");
        QCOMPARE(ebitem()->count(), int(ListFile::read(file).size()));
        QCOMPARE(frequencies()->currentRow(), 2);
        QCOMPARE(checkedRows(), QStringList{"Fortnightly"});
        const QString firstCat = kind == "income" ? "Gifts" : "Car";
        QCOMPARE(category(), firstCat);
        typeDescription(typed);
        QTest::mouseClick(child<CurrencyBox>(m_editor.get(), "ceamt"), Qt::LeftButton);
        QTest::keyClicks(child<CurrencyBox>(m_editor.get(), "ceamt"), "12.5");
        clickOk();
        QVERIFY(!m_editor->isVisible());
        QVERIFY(!m_window->saved());
        QVERIFY2(itemRows().contains(firstCat + '|' + typed + "|Fortnightly|12.5"), qPrintable(itemRows().join(", ")));
        QCOMPARE(readAll(file), fileAfter);
        // Kept in the program's folder, not in whatever folder is current.
        QCOMPARE(QFileInfo(file).absolutePath(), m_dir->filePath("data/kavo-pursekeep"));
        QVERIFY(!QFile::exists(Tfrm_items::listFileName(kind)));
    }

    void duplicate_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::newRow("new item") << "new"
                                  << "" << true << QByteArray("Wage\r\n");
        QTest::newRow("renamed item") << "edit"
                                      << "Bonus" << false << QByteArray("<missing>");
    }

    void duplicate()
    {
        QFETCH(QString, mode);
        QFETCH(QString, item);
        QFETCH(bool, closes);
        QFETCH(QByteArray, fileAfter);
        open("income", mode, item);
        clickCategory(1); // Work
        typeDescription("Wage");
        child<QPlainTextEdit>(m_editor.get(), "mem_edit")->setPlainText("changed");
        const QStringList before = itemRows();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        clickOk();
        const QStringList shown = GuiTest::shownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().endsWith(" : Item and Category Already Exists"), qPrintable(shown.front()));
        QCOMPARE(itemRows(), before);
        QCOMPARE(notesOf(item.isEmpty() ? "Wage" : item), item.isEmpty() ? "paid\r\non the 1st" : "");
        QCOMPARE(plan().items().state(), Table::State::Browse);
        QCOMPARE(m_editor->isVisible(), !closes);
        QCOMPARE(readAll(listFile("income")), fileAfter);
        if (!closes) // activated again by the box: the stored row is shown
            QCOMPARE(ebitem()->currentText(), item);
    }

    void editCarriesIntoReminders_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("categoryRow"); // -1: unchanged
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("payslipsOf"); // owner of Wage's three reminders
        QTest::addColumn<QString>("statementOf"); // owner of the long-named item's reminder
        const QString super = "Work|Superannuation contr";
        QTest::newRow("rename") << "Wage"
                                << "Salary" << -1 << "Work|Salary|Monthly|1000"
                                << "Work|Salary" << super;
        QTest::newRow("blanks trimmed") << "Wage"
                                        << "  Pay  " << -1 << "Work|Pay|Monthly|1000"
                                        << "Work|Pay" << super;
        QTest::newRow("category only") << "Wage"
                                       << "Wage" << 0 << "Gifts|Wage|Monthly|1000"
                                       << "Gifts|Wage" << super;
        QTest::newRow("name longer than a reminder keeps") << "Superannuation contribution"
                                                           << "Super fund" << -1 << "Work|Super fund|Monthly|90"
                                                           << "Work|Wage"
                                                           << "Work|Super fund";
    }

    void editCarriesIntoReminders()
    {
        QFETCH(QString, item);
        QFETCH(QString, typed);
        QFETCH(int, categoryRow);
        QFETCH(QString, stored);
        QFETCH(QString, payslipsOf);
        QFETCH(QString, statementOf);
        open("income", "edit", item);
        QCOMPARE(category(), QString("Work"));
        typeDescription(typed);
        if (categoryRow >= 0)
            clickCategory(categoryRow);
        clickOk();
        QVERIFY(!m_editor->isVisible());
        QVERIFY2(itemRows().contains(stored), qPrintable(itemRows().join(", ")));
        QCOMPARE(plan().items().totalRowCount(), 4);
        QStringList owners, expected{"Car|Tyres|rotate", statementOf + "|statement"};
        for (const Table::Row &r : plan().reminders().allRows())
            owners << r[1].toString() + '|' + r[2].toString() + '|' + r[4].toString();
        for (int month : {1, 2, 3})
            expected << payslipsOf + "|payslip " + QString::number(month);
        owners.sort();
        expected.sort();
        QCOMPARE(owners, expected);
        QCOMPARE(ListFile::read(listFile("income")), QStringList{typed}); // as typed
    }

    // A rename moves only the renamed item's reminders: not those of an item
    // of the other kind with the same category and name, and not those it
    // shares with another item whose name begins with the same 20 characters.
    void renameLeavesOtherItemsReminders()
    {
        plan().categories().appendRow({"Work", "E"});
        plan().items().appendRow({"Wage", "Monthly", 40, "Work", "E"});
        plan().reminders().appendRow({"E", "Work", "Wage", 9, "union fee", 9});
        plan().items().appendRow({"Superannuation contr. extra", "Monthly", 10, "Work", "I"});

        for (const auto &[from, to] : {std::pair{"Wage", "Salary"}, {"Superannuation contribution", "Super fund"}}) {
            open("income", "edit", from);
            typeDescription(to);
            clickOk();
            QVERIFY(!m_editor->isVisible());
        }
        QStringList owners;
        for (const Table::Row &r : plan().reminders().allRows())
            owners << r[0].toString() + '|' + r[2].toString() + '|' + r[4].toString();
        owners.sort();
        QCOMPARE(owners,
                 QStringList({"E|Tyres|rotate", "E|Wage|union fee", "I|Salary|payslip 1", "I|Salary|payslip 2",
                              "I|Salary|payslip 3", "I|Superannuation contr|statement"}));
    }

    void emptyDescriptionResetsFields_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("description"); // after the box
        QTest::addColumn<int>("frequency");
        QTest::addColumn<QString>("category");
        QTest::newRow("new") << "new"
                             << ""
                             << "" << 2 << "Gifts";
        QTest::newRow("new, blanks only") << "new"
                                          << "   "
                                          << "   " << 2 << "Gifts";
        QTest::newRow("edit") << "edit"
                              << ""
                              << "Wage" << 3 << "Work";
    }

    void emptyDescriptionResetsFields()
    {
        QFETCH(QString, mode);
        QFETCH(QString, typed);
        QFETCH(QString, description);
        QFETCH(int, frequency);
        QFETCH(QString, category);
        open("income", mode, "Wage");
        typeDescription(typed);
        frequencies()->setCurrentRow(5);
        clickCategory(mode == "new" ? 1 : 0);
        const QStringList items = itemRows();
        MessageBox::queueAnswer(MessageBox::Answer::Ok);
        clickOk();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Please enter an item description"});
        QVERIFY(m_editor->isVisible());
        QCOMPARE(itemRows(), items);
        QVERIFY(m_window->saved());
        QCOMPARE(ebitem()->currentText(), description);
        QCOMPARE(frequencies()->currentRow(), frequency);
        QCOMPARE(checkedRows(), QStringList{frequencies()->item(frequency)->text()});
        QCOMPARE(this->category(), category);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(ebitem()));
    }

    void frequencyListKeepsOneCheck()
    {
        open("income", "new");
        typeDescription("Rent");
        frequencies()->setFocus();
        QTest::keyClick(frequencies(), Qt::Key_Down);
        QCOMPARE(checkedRows(), QStringList{"Monthly"});
        // A click on another row's check box selects and checks it.
        QStyleOptionViewItem option;
        option.initFrom(frequencies());
        option.rect = frequencies()->visualItemRect(frequencies()->item(5));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            frequencies()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, frequencies());
        QTest::mouseClick(frequencies()->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(frequencies()->currentRow(), 5);
        QCOMPARE(checkedRows(), QStringList{"Yearly"});
        // Space on the checked row leaves no check mark; the selection decides.
        QTest::keyClick(frequencies(), Qt::Key_Space);
        QCOMPARE(checkedRows(), QStringList{});
        clickOk();
        QVERIFY2(itemRows().contains("Gifts|Rent|Yearly|0"), qPrintable(itemRows().join(", ")));
    }

    void enterKey_data()
    {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<bool>("pressesOk");
        QTest::newRow("description") << "ebitem" << true;
        QTest::newRow("amount") << "ceamt" << true;
        QTest::newRow("frequency list") << "clbfrequency" << true;
        QTest::newRow("notes") << "mem_edit" << false;
    }

    void enterKey()
    {
        QFETCH(QString, widget);
        QFETCH(bool, pressesOk);
        open("income", "new");
        typeDescription("Rent");
        auto *amount = child<CurrencyBox>(m_editor.get(), "ceamt");
        QTest::mouseClick(amount, Qt::LeftButton);
        QTest::keyClicks(amount, "7.25"); // taken by the Enter below, or by leaving the box
        QWidget *target = m_editor->findChild<QWidget *>(widget);
        target->setFocus();
        QTest::keyClicks(target, pressesOk ? "" : "one");
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(!m_editor->isVisible(), pressesOk);
        if (!pressesOk) {
            QTest::keyClicks(target, "two");
            clickOk();
        }
        QVERIFY2(itemRows().contains("Gifts|Rent|Fortnightly|7.25"), qPrintable(itemRows().join(", ")));
        QCOMPARE(notesOf("Rent"), pressesOk ? QString() : QString("one\r\ntwo"));
    }

    // What the editor cannot show or type is kept as stored: a name past 40
    // characters, notes past 600, a frequency that is none of the six.
    void untouchedEditKeepsStoredValues()
    {
        const QString longName = QString("A").repeated(45);
        plan().items().appendRow({longName, "fortnightly", 1, "Work", "I", QString("n").repeated(700)});
        open("income", "edit", longName);
        QCOMPARE(frequencies()->currentRow(), -1);
        QCOMPARE(checkedRows(), QStringList{});
        clickOk();
        QVERIFY(itemRows().contains("Work|" + longName + "|fortnightly|1"));
        QCOMPARE(notesOf(longName).size(), 700);
        open("income", "new");
        typeDescription(QString("B").repeated(50));
        QCOMPARE(ebitem()->currentText(), QString("B").repeated(40));
    }

    void comingBackFromAnotherProgramKeepsFields()
    {
        open("income", "edit", "Wage");
        typeDescription("Salary");
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(m_editor.get());
        QCOMPARE(ebitem()->currentText(), QString("Salary"));
    }
};

QTEST_MAIN(TestItemEditor)
#include "tst_itemeditor.moc"
