// The program as the people who are not its developer meet it: a dark theme,
// the keyboard alone and a screen reader's view of every window.
#include "GuiTestSupport.h"

#include "app/RxCalc.h"
#include "app/frm_main.h"
#include "app/frm_newplan.h"
#include "auxwindows/AboutBox.h"
#include "auxwindows/frm_browser.h"
#include "editors/frm_cats.h"
#include "editors/frm_items.h"
#include "editors/frm_loans.h"
#include "editors/frm_reminder.h"
#include "editors/frm_savings.h"
#include "loanwindow/frm_loan_calc.h"
#include "plan/Plan.h"
#include "planwindow/DueRemindersBar.h"
#include "planwindow/frm_budget.h"
#include "widgets/FixedColours.h"
#include "widgets/ListDialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWebEngineView>
#include <QtTest>

namespace {

QString describe(const QWidget *w)
{
    const QWidget *owner = w->parentWidget();
    while (owner && owner->objectName().isEmpty())
        owner = owner->parentWidget();
    return QStringLiteral("%1 \"%2\" in %3")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(),
             owner ? owner->objectName() : QStringLiteral("-"));
}

// The focusable controls of `window` a screen reader cannot name: no name of
// their own, and no label tied to them.
QStringList unnamedControls(QWidget *window)
{
    QStringList out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        const QString name = a ? a->text(QAccessible::Name).trimmed() : QString();
        const bool labelled = a && !a->relations(QAccessible::Label).isEmpty();
        if (name.isEmpty() && !labelled)
            out << describe(w);
        // An editable list's text box is a control of its own to a screen reader.
        if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit()) {
            QAccessibleInterface *box = QAccessible::queryAccessibleInterface(combo->lineEdit());
            if (!box || box->text(QAccessible::Name).trimmed().isEmpty())
                out << describe(combo) + " (its text box)";
        }
    }
    return out;
}

// Every entry of `menu` and its submenus has a mnemonic, none twice.
QStringList entriesWithoutMnemonic(const QMenu *menu)
{
    QStringList out;
    QSet<QString> taken;
    for (const QAction *a : menu->actions()) {
        if (a->isSeparator() || a->text().isEmpty())
            continue;
        const QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
        if (mnemonic.isEmpty())
            out << menu->title() + " > " + a->text();
        else if (taken.contains(mnemonic.toString()))
            out << menu->title() + " > " + a->text() + " (mnemonic used twice)";
        taken.insert(mnemonic.toString());
        if (a->menu())
            out << entriesWithoutMnemonic(a->menu());
    }
    return out;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(235, 235, 235);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    return p;
}

// The colour a control's text is drawn in.
QColor textColour(const QWidget *w)
{
    const QPalette::ColorRole role = qobject_cast<const QAbstractButton *>(w) && !qobject_cast<const QRadioButton *>(w)
        ? QPalette::ButtonText
        : QPalette::WindowText;
    return w->palette().color(QPalette::Active, role);
}

// The highest contrast of any pixel drawn in `area` of `image` against `background`.
double strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, FixedColours::contrastRatio(image.pixelColor(x, y), background));
    return best;
}

// A text box that keeps Alt and any letter for itself, as Qt's text boxes do
// on Linux desktops for some (Alt+F and Alt+B move a word).
class GreedyBox : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    QList<int> altKeys;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(e)->modifiers() == Qt::AltModifier) {
            e->accept();
            return true;
        }
        return QLineEdit::event(e);
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->modifiers() == Qt::AltModifier && e->key() != Qt::Key_Alt)
            altKeys << e->key();
        else if (e->key() != Qt::Key_Alt)
            QLineEdit::keyPressEvent(e);
    }
};

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tfrm_main> m_main;
    Tfrm_budget *m_window = nullptr;

    Plan &plan() { return m_window->plan(); }

    void fillPlan()
    {
        Plan &p = plan();
        p.categories().appendRow({"Work", "I"});
        p.categories().appendRow({"Home", "E"});
        p.items().appendRow({"Wage", "Monthly", 2000, "Work", "I"});
        p.items().appendRow({"Rent", "Monthly", 900, "Home", "E"});
        p.reminders().appendRow({"E", "Home", "Rent", 17, "pay the rent", 6}); // due in two days
        m_window->updateall();
        m_window->rebuildCategoryTrees();
        m_window->showDueReminders();
    }

    // A main window with its start-up plan filled.
    void openMainWindow()
    {
        m_main = std::make_unique<Tfrm_main>(m_dir->path());
        m_main->resize(1200, 860);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QTRY_VERIFY(m_main->activePlanWindow());
        m_window = m_main->activePlanWindow();
        fillPlan();
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
        openMainWindow();
    }

    void cleanup()
    {
        for (Tfrm_budget *w : m_main->planWindows())
            w->plan().setSaved(true);
        m_main.reset();
        m_dir.reset();
        QApplication::setPalette(QPalette());
        GUITEST_CLEANUP();
    }

    // Under a dark theme, the text on the program's own backgrounds (the
    // plan window's green, the due-reminders bar's yellow) is drawn dark
    // enough to read: the colours given and the pixels drawn.
    void fixedBackgroundsReadInADarkTheme()
    {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(darkPalette());
        // A window made under the dark theme, as the desktop would start it.
        m_main.reset();
        openMainWindow();
        QVERIFY(m_window->dueRemindersBar()->isVisible());

        const QColor green = Tfrm_budget::backgroundColour();
        const QColor yellow = m_window->dueRemindersBar()->palette().color(QPalette::Window);
        QStringList poor;
        const auto check = [&](QWidget *area, const QColor &background) {
            for (QWidget *w : area->findChildren<QWidget *>()) {
                const bool hasText =
                    qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w);
                if (!hasText || !w->isVisible())
                    continue;
                const double ratio = FixedColours::contrastRatio(textColour(w), background);
                if (ratio < 4.5)
                    poor << QStringLiteral("%1: %2:1").arg(describe(w)).arg(ratio, 0, 'f', 1);
            }
        };
        check(m_window->findChild<QWidget *>("toolbar"), green);
        check(m_window->findChild<QStatusBar *>("sbar"), green);
        check(m_window->findChild<QGroupBox *>("RGFrequency"), green);
        check(m_window->dueRemindersBar()->findChild<QLabel *>("lbl_due_reminders")->parentWidget(), yellow);
        QVERIFY2(poor.isEmpty(), qPrintable(poor.join('\n')));

        // What is drawn: the status totals and the bar's heading, on their backgrounds.
        const QImage shot = m_window->grab().toImage();
        for (QWidget *text : {static_cast<QWidget *>(m_window->findChild<QLabel *>("sbar_panel0")),
                              static_cast<QWidget *>(m_window->findChild<QLabel *>("lbl_due_reminders"))}) {
            const QRect area(text->mapTo(m_window, QPoint(2, 2)), text->size() - QSize(4, 4));
            const QColor background = text->objectName() == "lbl_due_reminders" ? yellow : green;
            QVERIFY2(strongestContrast(shot, area, background) >= 4.5, qPrintable(describe(text)));
        }
        QApplication::setStyle(QStyleFactory::create("Fusion"));
    }

    // Tab leaves a grid for the next control and Shift+Tab for the one
    // before; the arrow keys move within it.
    void tabLeavesTheGrids()
    {
        auto *grid = m_window->findChild<QTableView *>("dbgincome");
        QVERIFY(grid);
        QApplication::setActiveWindow(m_main.get());
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget() != grid);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() && QApplication::focusWidget() != grid);
        for (QTableView *any : m_main->findChildren<QTableView *>())
            QVERIFY2(!any->tabKeyNavigation(), qPrintable(describe(any)));
    }

    // Every command of the plan window's toolbar, its pages and its display
    // frequency are in the menus; the pages answer Ctrl+1 to Ctrl+5 and the
    // usual keys close, save as and exit.
    void menusReachEveryCommand()
    {
        for (const char *name : {"mnuNewItem", "mnuEditItem", "mnuDeleteItem", "mnuClearAll", "mnuAddReminder",
                                 "mnuSavePlan", "mnuPlanClose", "mnuEditCategories"})
            QVERIFY2(m_main->action(name) && m_main->action(name)->isEnabled(), name);

        QTabWidget *pages = m_window->pages();
        for (int page : {5, 3, 1, 4, 2}) {
            QTest::keyClick(m_main.get(), Qt::Key(Qt::Key_0 + page), Qt::ControlModifier);
            QCOMPARE(pages->currentIndex(), page - 1);
        }

        QMenu *frequencies = m_main->findChild<QMenu *>("mnuFrequency");
        QVERIFY(frequencies);
        QCOMPARE(frequencies->actions().size(), 6);
        frequencies->actions().at(5)->trigger();
        QCOMPARE(m_window->displayFrequency(), 5);
        QCOMPARE(m_window->findChild<QRadioButton *>("RGFrequency_5")->isChecked(), true);
        m_window->setDisplayFrequency(1);
        emit frequencies->aboutToShow();
        QVERIFY(frequencies->actions().at(1)->isChecked());
        QVERIFY(!frequencies->actions().at(5)->isChecked());

        QCOMPARE(m_main->action("mnuPlanSaveAs")->shortcut(), QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(m_main->action("mnuExit")->shortcut(), QKeySequence("Ctrl+Q"));
        FileDialog::queueCancel();
        QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(FileDialog::takeRequests().size(), 1);
        plan().setSaved(true);
        QTest::keyClick(m_main.get(), Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!m_main->activePlanWindow());
        QVERIFY(!m_main->action("mnuPageItems")->isEnabled());
        QVERIFY(!m_main->findChild<QMenu *>("mnuFrequency")->menuAction()->isEnabled());
    }

    // Every entry of every menu, popup menus included, has a mnemonic of its own.
    void everyMenuEntryHasAMnemonic()
    {
        QStringList missing;
        for (QMenu *menu : m_main->menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
            missing << entriesWithoutMnemonic(menu);
        missing << entriesWithoutMnemonic(m_window->itemsPopupMenu());
        for (QMenu *menu : m_window->findChildren<QMenu *>())
            missing << entriesWithoutMnemonic(menu);
        Tfrm_loan_calc calculator(Tfrm_loan_calc::MonthlyFigures{}, m_main->printer());
        missing << entriesWithoutMnemonic(calculator.fileMenu());
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
    }

    // Alt and a menu's letter opens the menu while a text box has the focus;
    // Alt keys of no menu still reach the box.
    void menusOpenFromTextBoxes()
    {
        QApplication::setActiveWindow(m_main.get());
        auto *filter = new GreedyBox(m_window);
        filter->setObjectName("probe");
        filter->show();
        filter->setFocus();
        QTRY_VERIFY(filter->hasFocus());
        QTest::keyClick(filter, Qt::Key_F, Qt::AltModifier);
        QMenu *file = m_main->menuBar()->findChild<QMenu *>("mnuFile");
        QTRY_VERIFY(file->isVisible());
        file->close();
        QTRY_VERIFY(!file->isVisible());
        QVERIFY(filter->altKeys.isEmpty());
        filter->setFocus();
        QTest::keyClick(filter, Qt::Key_B, Qt::AltModifier); // no menu has B
        QCOMPARE(filter->altKeys, QList<int>{Qt::Key_B});
        QVERIFY(!file->isVisible());
    }

    // A screen reader can name every control of every window and dialog.
    void everyControlHasAName()
    {
        const QString page = m_dir->filePath("page.html");
        QFile html(page);
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><head><title>Budget help</title></head><body><p>Help</p></body></html>");
        html.close();
        QStringList unnamed;
        QTabWidget *pages = m_window->pages();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QCoreApplication::processEvents();
            unnamed << unnamedControls(m_main.get());
        }
        QList<QWidget *> dialogs;
        dialogs << new Tfrm_items(m_window, "income", "new", "I") << new Tfrm_savings(m_window, "new")
                << new Tfrm_loans(m_window, "new") << new Tfrm_reminder(m_window, "new", "I") << new Tfrm_cats(m_window)
                << new RxCalc << new Tfrm_newplan << new TAboutBox
                << new ListDialog("backups", "Restore From Backup", "Choose a backup", {"When", "Items"},
                                  {{"today", "2"}})
                << new Tfrm_browser(m_dir->path(), m_dir->path(), QUrl::fromLocalFile(page));
        auto *calculator = new Tfrm_loan_calc(Tfrm_loan_calc::MonthlyFigures{}, m_main->printer());
        dialogs << calculator;
        for (QWidget *dialog : std::as_const(dialogs)) {
            dialog->show();
            QCoreApplication::processEvents();
            if (auto *web = qobject_cast<Tfrm_browser *>(dialog))
                QTRY_COMPARE(web->view()->title(), QString("Budget help"));
            if (auto *tabs = dialog->findChild<QTabWidget *>()) {
                for (int i = 0; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    unnamed << unnamedControls(dialog);
                }
            } else {
                unnamed << unnamedControls(dialog);
            }
            dialog->hide();
        }
        qDeleteAll(dialogs);
        unnamed.removeDuplicates();
        for (const QString &control : std::as_const(unnamed))
            qWarning("no name: %s", qPrintable(control));
        QCOMPARE(unnamed.size(), 0);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
