#include "GuiTestSupport.h"
#include "SamplePlans.h"
#include "TestWidgets.h"

#include "editors/frm_loans.h"
#include "plan/Plan.h"
#include "planwindow/LoansPage.h"
#include "planwindow/frm_budget.h"
#include "widgets/CurrencyBox.h"
#include "widgets/RadioGroup.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

// The loan editor and the loans page: the end date following the length, new
// and changed loans with the totals, the paid status and the grid's keys.

enum class LengthAction { Type, UpButton, DownButton, UpKey };
Q_DECLARE_METATYPE(LengthAction)
Q_DECLARE_METATYPE(MessageBox::Answer)

namespace {
QStringList rowTexts(const Table::Row &row)
{
    QStringList out;
    for (const QVariant &v : row)
        out << (v.typeId() == QMetaType::QDateTime ? v.toDateTime().toString("yyyy-MM-dd hh:mm") : v.toString());
    return out;
}

void clickSpinButton(QSpinBox *box, QStyle::SubControl button)
{
    QStyleOptionSpinBox opt;
    opt.initFrom(box);
    opt.frame = box->hasFrame();
    opt.subControls =
        QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    opt.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    QTest::mouseClick(box, Qt::LeftButton, {},
                      box->style()->subControlRect(QStyle::CC_SpinBox, &opt, button, box).center());
}
} // namespace

class TestLoanEditor : public QObject
{
    Q_OBJECT

    std::unique_ptr<Tfrm_budget> m_window;

    Tfrm_budget &w() { return *m_window; }
    Table &loans() { return m_window->plan().loans(); }
    QTableView *grid() { return child<QTableView>(w().loansPage(), "DBGrid_loans"); }

    void addLoan(const QString &purpose, double minpay, const QString &payfreq, const QDate &finish, double intrate = 5,
                 int length = 1)
    {
        loans().appendRow({purpose, "Bank", 1000 * length, minpay, payfreq,
                           QDateTime(finish.addYears(-length), QTime(0, 0)), length, QDateTime(finish, QTime(0, 0)),
                           intrate});
    }
    void showLoansPage() { w().pages()->setCurrentWidget(w().loansPage()); }
    void clickTool(const char *name) { QTest::mouseClick(w().toolButton(QLatin1String(name)), Qt::LeftButton); }
    void onModalEditor(const std::function<void(QDialog *)> &act)
    {
        ModalRunner::setHook([act](QDialog *d) {
            if (d->objectName() == QLatin1String("frm_loans"))
                act(d);
        });
    }

    // New Item on the loans page: the editor opens without the window waiting.
    Tfrm_loans *openNewEditor()
    {
        showLoansPage();
        clickTool("obnewitem");
        auto *editor = w().findChild<Tfrm_loans *>("frm_loans");
        if (editor)
            (void)QTest::qWaitForWindowActive(editor);
        return editor;
    }

private slots:
    void initTestCase() { GuiTest::initTestCase(); }

    void init()
    {
        GuiTest::init();
        m_window = openPlanWindow({});
    }

    void cleanup()
    {
        m_window.reset();
        GUITEST_CLEANUP();
    }

    void lengthMovesEndDate_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QDate>("finish");
        QTest::addColumn<LengthAction>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("lengthAfter");
        QTest::addColumn<QDate>("finishAfter");

        // This year is 2024 in every row.
        const auto T = LengthAction::Type, K = LengthAction::UpKey;
        const auto U = LengthAction::UpButton, D = LengthAction::DownButton;
        const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("typing: this year + length") << 0 << QDate(2025, 3, 10) << T << "5" << 1 << 5 << QDate(2029, 3, 10);
        row("typing two digits") << 3 << QDate(2027, 6, 16) << T << "25" << 1 << 25 << QDate(2049, 6, 16);
        row("arrow key: this year + length") << 2 << QDate(2031, 7, 1) << K << "" << 1 << 3 << QDate(2027, 7, 1);
        row("up button, three times") << 0 << QDate(2030, 1, 31) << U << "" << 3 << 3 << QDate(2033, 1, 31);
        row("up button at 100") << 100 << QDate(2124, 1, 1) << U << "" << 1 << 100 << QDate(2125, 1, 1);
        row("down button at 0") << 0 << QDate(2026, 5, 1) << D << "" << 1 << 0 << QDate(2025, 5, 1);
        row("down button stops at next year") << 5 << QDate(2027, 5, 1) << D << "" << 4 << 1 << QDate(2025, 5, 1);
        row("leap day typed into a common year") << 4 << QDate(2028, 2, 29) << T << "1" << 1 << 1 << QDate(2025, 2, 28);
        row("leap day up into a common year") << 4 << QDate(2028, 2, 29) << U << "" << 1 << 5 << QDate(2029, 2, 28);
        row("leap day down into a common year") << 4 << QDate(2028, 2, 29) << D << "" << 1 << 3 << QDate(2027, 2, 28);
        row("leap day back in a leap year") << 4 << QDate(2028, 2, 29) << U << "" << 4 << 8 << QDate(2032, 2, 29);
    }

    void lengthMovesEndDate()
    {
        QFETCH(int, length);
        QFETCH(QDate, finish);
        QFETCH(LengthAction, action);
        QFETCH(QString, typed);
        QFETCH(int, times);
        Clock::set(QDateTime(QDate(2024, 6, 15), QTime(10, 0)));
        Tfrm_loans *e = openNewEditor();
        QVERIFY(e);
        auto *lgth = child<QSpinBox>(e, "se_lgth");
        lgth->setValue(length);
        child<QDateEdit>(e, "de_finish")->setDate(finish);
        lgth->setFocus();
        for (int i = 0; i < times; ++i) {
            if (action == LengthAction::Type) {
                lgth->selectAll();
                QTest::keyClicks(lgth, typed);
            } else if (action == LengthAction::UpKey) {
                QTest::keyClick(lgth, Qt::Key_Up);
            } else {
                clickSpinButton(lgth, action == LengthAction::UpButton ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown);
            }
        }
        QTEST(lgth->value(), "lengthAfter");
        QTEST(child<QDateEdit>(e, "de_finish")->date(), "finishAfter");
        e->close();
    }

    void newLoanIsAppended_data()
    {
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("totalLoans");
        QTest::newRow("filled") << true << QStringList{"Car",   "Credit Union",     "12000",
                                                       "70.25", "Weekly",           "2026-06-15 00:00",
                                                       "2",     "2028-06-16 00:00", "7.5"}
                                << "Total Loans: $140.50";
        QTest::newRow("nothing filled")
            << false << QStringList{"", "", "0", "0", "Monthly", "2026-06-15 00:00", "0", "2026-06-16 00:00", "0"}
            << "Total Loans: $0.00";
    }

    // The totals count a running loan, not one that ended today or before.
    void newLoanIsAppended()
    {
        QFETCH(bool, filled);
        addLoan("Ended", 1000, "Weekly", QDate(2026, 6, 14));
        addLoan("Ends today", 500, "Weekly", QDate(2026, 6, 15));
        Tfrm_loans *e = openNewEditor();
        QVERIFY(e);
        if (filled) {
            child<QLineEdit>(e, "eb_purpose")->setText("Car");
            child<QLineEdit>(e, "eb_lender")->setText("Credit Union");
            child<CurrencyBox>(e, "ce_amtb")->setValue(12000);
            child<QDoubleSpinBox>(e, "se_intrate")->setValue(7.5);
            child<CurrencyBox>(e, "ce_minpay")->setValue(70.25);
            child<RadioGroup>(e, "rg_sched")->click(1);
            auto *lgth = child<QSpinBox>(e, "se_lgth");
            lgth->setFocus();
            lgth->selectAll();
            QTest::keyClicks(lgth, "2");
        }
        QPointer<Tfrm_loans> guard(e);
        QTest::mouseClick(child<QPushButton>(e, "LMDSB_save"), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(loans().rowCount(), 3);
        QTEST(rowTexts(loans().visibleRow(2)), "stored");
        QTEST(w().statusTexts().at(3), "totalLoans");
        QVERIFY(!w().saved());
    }

    // Edit shows the current loan; Save writes back what the row held, also
    // a rate with three decimals and a schedule that is none of the six.
    void editShowsAndChangesCurrentLoan()
    {
        addLoan("House", 900, "Monthly", QDate(2040, 1, 1));
        addLoan("Boat", 55, "Biweekly", QDate(2029, 2, 28), 7.125, 4);
        loans().goTo(1);
        QStringList expected = rowTexts(loans().visibleRow(1));
        expected[1] = "Marina";
        showLoansPage();
        QStringList shown;
        onModalEditor([&](QDialog *e) {
            for (const char *box : {"eb_purpose", "ce_amtb", "se_intrate", "se_lgth", "de_finish"})
                shown << child<QWidget>(e, box)->property("text").toString();
            shown << child<RadioGroup>(e, "rg_sched")->currentText();
            child<QLineEdit>(e, "eb_lender")->setText("Marina");
            child<QPushButton>(e, "LMDSB_save")->click();
        });
        clickTool("obedititem");
        QCOMPARE(shown, (QStringList{"Boat", "$4,000.00", "7.13", "4", "28/02/2029", ""}));
        QCOMPARE(loans().rowCount(), 2);
        QCOMPARE(loans().currentRow(), 1);
        QCOMPARE(rowTexts(loans().visibleRow(1)), expected);
        QVERIFY(!w().saved());
    }

    // An open new-loan editor still appends after another editor has left the
    // window's editmode at "edit".
    void newEditorAppendsAfterAnEdit()
    {
        addLoan("House", 900, "Monthly", QDate(2040, 1, 1));
        Tfrm_loans *e = openNewEditor();
        QVERIFY(e);
        onModalEditor([](QDialog *d) { child<QPushButton>(d, "LMDSB_cancel")->click(); });
        clickTool("obedititem");
        QCOMPARE(w().editmode(), QStringLiteral("edit"));
        child<QLineEdit>(e, "eb_purpose")->setText("Car");
        QTest::mouseClick(child<QPushButton>(e, "LMDSB_save"), Qt::LeftButton);
        QCOMPARE(loans().rowCount(), 2);
        QCOMPARE(loans().visibleRow(0).at(0).toString(), QStringLiteral("House"));
    }

    void comingBackToTheEditorKeepsWhatWasTyped()
    {
        Tfrm_loans *e = openNewEditor();
        QVERIFY(e);
        auto *start = child<QDateEdit>(e, "de_start");
        start->setDate(QDate(2026, 1, 1));
        child<QLineEdit>(e, "eb_purpose")->setText("Boat");
        // The user looks something up in the plan window and comes back.
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(e, &activate);
        QCOMPARE(start->date(), QDate(2026, 1, 1));
        QCOMPARE(child<QLineEdit>(e, "eb_purpose")->text(), QString("Boat"));
        e->close();
    }

    void detailPanelFollowsCurrentLoan()
    {
        addLoan("Car", 350, "Monthly", QDate(2029, 3, 1), 7.5, 5);
        addLoan("TV", 20, "Weekly", QDate(2027, 1, 1), 7);
        showLoansPage();
        const auto shown = [this] {
            QStringList out;
            for (const char *box : {"DBEdit2", "DBEdit3", "DBEdit8", "DBDateEdit1", "DBDELoanFin"})
                out << child<QWidget>(w().loansPage(), box)->property("text").toString();
            return out;
        };
        QTest::keyClick(grid(), Qt::Key_Home);
        QCOMPARE(shown(), (QStringList{"$5,000.00", "7.5", "5", "01/03/2024", "01/03/2029"}));
        QTest::keyClick(grid(), Qt::Key_End);
        QCOMPARE(shown(), (QStringList{"$1,000.00", "7", "1", "01/01/2026", "01/01/2027"}));
    }

    void loanStatus_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QList<int>>("finishDays"); // days from today, one loan each
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("no loans") << QTime(12, 0) << QList<int>{} << "PAID"
                                  << "PAID";
        QTest::newRow("ends tomorrow, ended yesterday") << QTime(23, 59) << QList<int>{1, -1} << "OUTSTANDING"
                                                        << "PAID";
        QTest::newRow("ends today, just after midnight") << QTime(0, 0, 1) << QList<int>{0, 400} << "PAID"
                                                         << "OUTSTANDING";
    }

    void loanStatus()
    {
        QFETCH(QTime, now);
        QFETCH(QList<int>, finishDays);
        Clock::set(QDateTime(QDate(2026, 6, 15), now));
        for (int days : finishDays)
            addLoan("Loan", 10, "Weekly", QDate(2026, 6, 15).addDays(days));
        showLoansPage();
        auto *status = child<QLabel>(w().loansPage(), "lbl_loanstatus");
        QTest::keyClick(grid(), Qt::Key_Home);
        QTEST(status->text(), "first");
        QTest::keyClick(grid(), Qt::Key_End);
        QTEST(status->text(), "last");
    }

    // Delete (the grid's key) asks with the purpose of the current loan.
    void deleteAsksWithPurpose_data()
    {
        QTest::addColumn<MessageBox::Answer>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes") << MessageBox::Answer::Yes << 1 << false;
        QTest::newRow("no") << MessageBox::Answer::No << 2 << true;
    }

    void deleteAsksWithPurpose()
    {
        QFETCH(MessageBox::Answer, answer);
        addLoan("House", 900, "Monthly", QDate(2040, 1, 1));
        addLoan("Boat", 55, "Weekly", QDate(2030, 1, 1));
        showLoansPage();
        MessageBox::queueAnswer(answer);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(GuiTest::shownTexts(), QStringList{"Are you sure you want to delete : Boat"});
        QTEST(loans().rowCount(), "rowsLeft");
        QTEST(w().saved(), "saved");
    }

    void gridKeys_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("opened");
        QTest::newRow("Enter without loans does nothing") << 0 << int(Qt::Key_Return) << "";
        QTest::newRow("Enter edits") << 3 << int(Qt::Key_Return) << "modal edit";
        QTest::newRow("Insert is New Item") << 3 << int(Qt::Key_Insert) << "modeless new";
    }

    void gridKeys()
    {
        QFETCH(int, rows);
        QFETCH(int, key);
        for (int i = 0; i < rows; ++i)
            addLoan(QStringLiteral("Loan %1").arg(i), 10, "Weekly", QDate(2030, 1, 1));
        if (rows > 1)
            loans().goTo(1);
        showLoansPage();
        QString opened;
        onModalEditor([&](QDialog *d) {
            opened = QStringLiteral("modal ") + static_cast<Tfrm_loans *>(d)->mode();
            d->reject();
        });
        QTest::keyClick(grid(), Qt::Key(key));
        if (auto *modeless = w().findChild<Tfrm_loans *>("frm_loans"); modeless && modeless->isVisible()) {
            opened = QStringLiteral("modeless ") + modeless->mode();
            modeless->close();
        }
        QTEST(opened, "opened");
        QCOMPARE(loans().rowCount(), rows);
        QCOMPARE(loans().currentRow(), rows > 1 ? 1 : -1);
    }
};

QTEST_MAIN(TestLoanEditor)
#include "tst_loaneditor.moc"
