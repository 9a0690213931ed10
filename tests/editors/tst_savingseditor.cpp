#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestWidgets.h"

#include "editors/frm_savings.h"
#include "plan/CalendarTime.h"
#include "plan/Frequency.h"
#include "plan/Plan.h"
#include "planwindow/SavingsPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/CurrencyBox.h"
#include "widgets/RadioGroup.h"

#include <QDateEdit>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QScopeGuard>
#include <ctime>

// The savings editor and the savings page, driven through a real plan window.
class TestSavingsEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_w;

    Table &goals() { return m_w->plan().savings(); }
    static QDateTime day(int offset) { return CalendarTime::at(Clock::today().addDays(offset)); }
    void addGoal(const QString &desc, int startOffset, int finishOffset, const QString &freq, double each)
    {
        goals().appendRow({desc, 1000, day(startOffset), day(finishOffset), freq, each});
    }
    void showPage() { m_w->pages()->setCurrentWidget(m_w->savingsPage()); }
    void clickTool(const char *name) { m_w->toolButton(QLatin1String(name))->click(); }
    Tfrm_savings *openNew()
    {
        showPage();
        clickTool("obnewitem");
        auto *d = m_w->findChild<Tfrm_savings *>(QStringLiteral("frm_savings"));
        if (!d || !QTest::qWaitForWindowExposed(d))
            qFatal("New Item left no savings editor open");
        return d;
    }
    // A radio button takes clicks on its circle and text only.
    static void clickFreq(QDialog *d, int freq)
    {
        QRadioButton *b = child<RadioGroup>(d, "rg_savfreq")->button(freq);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    // The frequency first, so that the finish date given is the one kept.
    static void fill(QDialog *d, int freq, const QString &desc, int finishOffset, double target)
    {
        if (freq >= 0)
            clickFreq(d, freq);
        child<QLineEdit>(d, "eb_savdesc")->setText(desc);
        finishBox(d)->setDate(day(finishOffset).date());
        child<CurrencyBox>(d, "ce_target")->setValue(target);
    }
    static QDateEdit *finishBox(QDialog *d) { return child<QDateEdit>(d, "vc_finish"); }
    static void ok(QDialog *d) { QTest::mouseClick(child<QPushButton>(d, "btn_OK"), Qt::LeftButton); }
    QString panel(const char *name) { return child<QLineEdit>(m_w->savingsPage(), name)->text(); }
    QString status() { return child<QLabel>(m_w->savingsPage(), "lbl_current")->text(); }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }
    void init()
    {
        GuiTest::init(); // today is 15/06/2026, noon
        m_w = openPlanWindow({});
    }
    void cleanup()
    {
        m_w.reset();
        GUITEST_CLEANUP();
    }

    void finishFollowsFrequency_data()
    {
        QTest::addColumn<int>("start"); // 0: a new goal; otherwise an old goal edited
        QTest::addColumn<int>("finish");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("expected");
        QTest::newRow("new, weekly") << 0 << 1 << QList<int>{1} << 7;
        QTest::newRow("new, weekly then daily") << 0 << 1 << QList<int>{1, 0} << 7;
        QTest::newRow("new, weekly then monthly") << 0 << 1 << QList<int>{1, 3} << 30;
        QTest::newRow("new, fortnightly at 14") << 0 << 14 << QList<int>{2} << 15;
        QTest::newRow("new, fortnightly at 15") << 0 << 15 << QList<int>{2} << 15;
        // An old goal: the span counts from its start, the new date from today.
        QTest::newRow("daily span 1") << -20 << -19 << QList<int>{0} << 1;
        QTest::newRow("daily span 2") << -20 << -18 << QList<int>{0} << -18;
        QTest::newRow("weekly span 7") << -20 << -13 << QList<int>{1} << 7;
        QTest::newRow("weekly span 8") << -20 << -12 << QList<int>{1} << -12;
        QTest::newRow("monthly span 30") << -40 << -10 << QList<int>{3} << 30;
        QTest::newRow("monthly span 31") << -40 << -9 << QList<int>{3} << -9;
    }
    void finishFollowsFrequency()
    {
        QFETCH(int, start);
        QFETCH(int, finish);
        QFETCH(QList<int>, clicks);
        QFETCH(int, expected);
        QDate result;
        const auto choose = [&](QDialog *d) {
            finishBox(d)->setDate(day(finish).date());
            for (int f : clicks)
                clickFreq(d, f);
            result = finishBox(d)->date();
            d->reject();
        };
        if (start == 0) {
            choose(openNew());
        } else {
            addGoal("Car", start, finish, "Daily", 1);
            showPage();
            ModalRunner::setHook(choose);
            clickTool("obedititem");
        }
        QCOMPARE(result, day(expected).date());
    }

    void newGoalOk_data()
    {
        QTest::addColumn<int>("freq");
        QTest::addColumn<QString>("desc");
        QTest::addColumn<int>("days");
        QTest::addColumn<double>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // empty: the editor closes
        QTest::addColumn<double>("instalment"); // 0: nothing added
        const QString dates = "You cannot have a start date that is later than or equal to your finish date";
        QTest::newRow("nothing filled") << -1 << "" << 0 << 0.0 << "Please select how often you wish to save"
                                        << "rg_savfreq" << 0.0;
        QTest::newRow("no description") << 0 << "" << 0 << 0.0 << "Please enter a savings description"
                                        << "eb_savdesc" << 0.0;
        QTest::newRow("finish is start") << 0 << "Car" << 0 << 0.0 << dates << "vc_start" << 0.0;
        QTest::newRow("finish before start") << 1 << "Car" << -3 << 9.0 << dates << "vc_start" << 0.0;
        QTest::newRow("zero target") << 1 << "Car" << 30 << 0.0 << "Please select a target amount"
                                     << "ce_target" << 0.0;
        QTest::newRow("negative target") << 1 << "Refund" << 28 << -70.0 << ""
                                         << "" << -17.5;
        QTest::newRow("weekly, 30 days") << 1 << "Car" << 30 << 300.0 << ""
                                         << "" << 75.0;
        QTest::newRow("weekly, 7 days") << 1 << "Car" << 7 << 300.0 << ""
                                        << "" << 300.0;
        QTest::newRow("weekly, 6 days") << 1 << "Car" << 6 << 300.0 << "You dont have enough time to save Weekly"
                                        << "" << 0.0;
        QTest::newRow("monthly, 59 days") << 3 << "Car" << 59 << 120.0 << ""
                                          << "" << 120.0;
        QTest::newRow("monthly, 60 days") << 3 << "Car" << 60 << 120.0 << ""
                                          << "" << 60.0;
        QTest::newRow("daily, thirds") << 0 << "Car" << 3 << 100.0 << ""
                                       << "" << 33.3333;
    }
    void newGoalOk()
    {
        QFETCH(int, freq);
        QFETCH(QString, desc);
        QFETCH(int, days);
        QFETCH(double, target);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(double, instalment);
        QPointer<Tfrm_savings> d = openNew();
        fill(d, freq, desc, days, target);
        if (!message.isEmpty())
            MessageBox::queueAnswer(MessageBox::Answer::Ok);
        ok(d);
        const auto shown = MessageBox::takeShown();
        QCOMPARE(shown.isEmpty() ? QString() : shown.front().text, message);
        QCOMPARE(goals().rowCount(), instalment == 0 ? 0 : 1);
        if (!focus.isEmpty()) {
            QCOMPARE(shown.front().kind, MessageBox::Kind::Error);
            QWidget *expected = child<QWidget>(d, qPrintable(focus));
            QVERIFY(d->focusWidget() == expected || expected->isAncestorOf(d->focusWidget()));
            // What was entered is still there to be corrected.
            QCOMPARE(finishBox(d)->date(), day(days).date());
            QCOMPARE(child<QLineEdit>(d, "eb_savdesc")->text(), desc);
            QCOMPARE(child<RadioGroup>(d, "rg_savfreq")->itemIndex(), freq);
            QVERIFY(m_w->saved());
            d->reject();
            return;
        }
        QTRY_VERIFY(!d);
        QVERIFY(!m_w->saved());
        if (!message.isEmpty())
            QCOMPARE(shown.front().kind, MessageBox::Kind::Information);
        if (instalment != 0) {
            const QList<QVariant> row{desc, target, day(0), day(days), Frequency::savingsNames().at(freq), instalment};
            for (int f = 0; f < row.size(); ++f)
                QCOMPARE(goals().value(f), row.at(f));
        }
    }

    // In a zone whose clocks skip the midnight of the start day, a week from
    // that day is still a week.
    void weekFromADayWithoutMidnight()
    {
        const QByteArray oldZone = qgetenv("TZ");
        qputenv("TZ", "America/Santiago");
        tzset();
        const auto restore = qScopeGuard([&] {
            if (oldZone.isEmpty())
                qunsetenv("TZ");
            else
                qputenv("TZ", oldZone);
            tzset();
        });
        const QDate start(2024, 9, 8);
        if (QDateTime(start, QTime(0, 0)).isValid())
            QSKIP("this system's time-zone data has no jump at that midnight");
        Clock::set(QDateTime(start, QTime(12, 0)));
        QPointer<Tfrm_savings> d = openNew();
        fill(d, 1, "Bike", 7, 70);
        ok(d);
        QCOMPARE(GuiTest::shownTexts(), QStringList());
        QTRY_VERIFY(!d);
        QCOMPARE(goals().rowCount(), 1);
        QCOMPARE(goals().asMoney("freqamount"), 70.0);
        QCOMPARE(goals().asDateTime("start").date(), start);
        QCOMPARE(goals().asDateTime("start").time(), QTime(0, 0));
        showPage();
        QCOMPARE(panel("DBEdit_start"), QString("08/09/2024"));
    }

    void editGoal_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("freq"); // -1: as shown
        QTest::addColumn<int>("days"); // finish, from the goal's start
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("instalment"); // 0: unchanged
        QTest::newRow("monthly, 60 days") << "Weekly" << 3 << 60 << "" << 500.0;
        QTest::newRow("same frequency, later") << "Weekly" << -1 << 70 << "" << 100.0;
        QTest::newRow("too short") << "Weekly" << 1 << 6 << "You do not have enough time to save : Weekly" << 0.0;
        QTest::newRow("frequency not offered")
            << "Yearly" << -1 << 60 << "Please select how often you wish to save" << 0.0;
    }
    void editGoal()
    {
        QFETCH(QString, stored);
        QFETCH(int, freq);
        QFETCH(int, days);
        QFETCH(QString, message);
        QFETCH(double, instalment);
        addGoal("Bike", -40, 40, "Daily", 2.5);
        addGoal("Car", -10, 20, stored, 20);
        showPage();
        goals().goTo(1);
        QStringList shownOnOpen;
        bool stayedOpen = false;
        ModalRunner::setHook([&](QDialog *d) {
            shownOnOpen = QStringList{
                static_cast<Tfrm_savings *>(d)->mode(),     child<QLineEdit>(d, "eb_savdesc")->text(),
                child<CurrencyBox>(d, "ce_target")->text(), child<RadioGroup>(d, "rg_savfreq")->currentText(),
                child<QDateEdit>(d, "vc_start")->text(),    finishBox(d)->text()};
            fill(d, freq, "New car", days - 10, 1000);
            if (!message.isEmpty())
                MessageBox::queueAnswer(MessageBox::Answer::Ok);
            ok(d);
            stayedOpen = d->isVisible();
        });
        clickTool("obedititem");
        QCOMPARE(
            shownOnOpen,
            QStringList({"edit", "Car", "$1,000.00", stored == "Yearly" ? "" : stored, "05/06/2026", "05/07/2026"}));
        QCOMPARE(GuiTest::shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(stayedOpen, !message.isEmpty());
        QCOMPARE(goals().currentRow(), 1);
        QCOMPARE(goals().asString("desc"), QString(instalment == 0 ? "Car" : "New car"));
        QCOMPARE(goals().asMoney("freqamount"), instalment == 0 ? 20 : instalment);
        QCOMPARE(goals().asDateTime("finish"), day(instalment == 0 ? 20 : days - 10));
        QCOMPARE(goals().asDateTime("start"), day(-10));
        goals().first();
        QCOMPARE(goals().asMoney("freqamount"), 2.5);
    }

    void balanceAndStatus_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("finish");
        QTest::addColumn<QString>("freq"); // empty: no goal at all
        QTest::addColumn<QStringList>("shown"); // balance, status, start, finish
        const QString active = "This savings goal is still active.";
        const QString expired = "This savings goal has expired";
        QTest::newRow("monthly, 45 days")
            << -45 << 30 << "Monthly" << QStringList{"$900.00", active, "01/05/2026", "15/07/2026"};
        QTest::newRow("ends today") << -14 << 0 << "Weekly"
                                    << QStringList{"$800.00", expired, "01/06/2026", "15/06/2026"};
        QTest::newRow("ends tomorrow") << -14 << 1 << "Weekly"
                                       << QStringList{"$800.00", active, "01/06/2026", "16/06/2026"};
        QTest::newRow("saved past the plan")
            << -165 << -100 << "Fortnightly" << QStringList{"-$100.00", expired, "01/01/2026", "07/03/2026"};
        QTest::newRow("no goals") << 0 << 0 << "" << QStringList{"", "This goal is current", "", ""};
    }
    void balanceAndStatus()
    {
        QFETCH(int, start);
        QFETCH(int, finish);
        QFETCH(QString, freq);
        QFETCH(QStringList, shown);
        if (!freq.isEmpty())
            addGoal("Holiday", start, finish, freq, 100);
        showPage();
        QCOMPARE(QStringList({panel("ce_balance"), status(), panel("DBEdit_start"), panel("DBEdit_finish")}), shown);
        QCOMPARE(m_w->pagekind(), QString("savings"));
    }

    void newItemResetsFrequencyWhileEditorOpen()
    {
        m_w->setDisplayFrequency(3);
        Tfrm_savings *d = openNew();
        QVERIFY(!d->isModal());
        QCOMPARE(m_w->displayFrequency(), 2);
        QCOMPARE(QStringList({d->mode(), child<QDateEdit>(d, "vc_start")->text(), finishBox(d)->text()}),
                 QStringList({"new", "15/06/2026", "16/06/2026"}));
        // The plan window stays usable; the goal saved later refreshes its totals.
        m_w->plan().items().appendRow({"Wage", "Fortnightly", 1000, "Work", "I"});
        m_w->updateall();
        fill(d, 1, "Laptop", 70, 700); // 10 weeks, 70 a week
        ok(d);
        QCOMPARE(m_w->statusTexts(),
                 QStringList({"Income Total: $1000.00", "Expense Total: $0.00", "Savings Goals: $140.00",
                              "Total Loans: $0.00", "Balance: $860.00"}));
        QCOMPARE(child<QTableView>(m_w->savingsPage(), "vdbg_savings")->model()->index(0, 2).data(),
                 QVariant("$70.00"));
        QCOMPARE(panel("ce_balance"), QString("$700.00"));
    }

    void editWithoutGoalsOpensNew()
    {
        showPage();
        QStringList opened;
        ModalRunner::setHook([&](QDialog *d) {
            opened << static_cast<Tfrm_savings *>(d)->mode();
            d->reject();
        });
        QTest::keyClick(child<QTableView>(m_w->savingsPage(), "vdbg_savings"), Qt::Key_Return);
        QCOMPARE(opened, QStringList()); // Enter with no goals does nothing
        clickTool("obedititem");
        QCOMPARE(opened, QStringList{"new"});
    }

    void deleteAsks_data()
    {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::addColumn<QString>("savingsTotal");
        QTest::newRow("yes") << MessageBox::Answer::Yes << "Savings Goals: $80.00";
        QTest::newRow("no") << MessageBox::Answer::No << "Savings Goals: $230.00";
    }
    void deleteAsks()
    {
        QFETCH(MessageBox::Answer, answer);
        QFETCH(QString, savingsTotal);
        addGoal("Bike", -5, 40, "Weekly", 40);
        addGoal("Car", -5, 60, "Weekly", 75);
        showPage();
        goals().goTo(1);
        MessageBox::queueAnswer(answer);
        clickTool("obdeleteitem");
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Are you sure you want to delete : Car"});
        QCOMPARE(goals().rowCount(), answer == MessageBox::Answer::Yes ? 1 : 2);
        QCOMPARE(m_w->saved(), answer == MessageBox::Answer::No);
        m_w->updateall();
        QCOMPARE(m_w->statusTexts().at(2), savingsTotal);
    }
};

QTEST_MAIN(TestSavingsEditor)
#include "tst_savingseditor.moc"
