#include "GuiTestSupport.h"
#include "TestWidgets.h"

#include "app/RxCalc.h"

#include <QApplication>
#include <QPushButton>

// The calculator: its keys worked left to right as on a pocket calculator,
// and each key where a person clicks it.
class TestCalculator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { GuiTest::initTestCase(); }
    void init() { GuiTest::init(); }
    void cleanup() { GUITEST_CLEANUP(); }

    void calculator_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("display");
        QTest::newRow("left to right") << QStringList{"2", "+", "3", "*", "4", "="} << "20";
        QTest::newRow("decimals") << QStringList{"1", ".", "5", "+", ".", "2", "5", "="} << "1.75";
        QTest::newRow("one point only") << QStringList{"1", ".", ".", "5"} << "1.5";
        QTest::newRow("division by zero") << QStringList{"7", "/", "0", "="} << "Error";
        QTest::newRow("error until cleared") << QStringList{"7", "/", "0", "=", "5", "C", "5"} << "5";
        QTest::newRow("sign change") << QStringList{"9", "±", "-", "1", "="} << "-10";
        QTest::newRow("operator changed") << QStringList{"8", "+", "-", "3", "="} << "5";
    }

    void calculator()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, display);
        RxCalc calc;
        static_cast<QWidget &>(calc).show();
        QVERIFY(QTest::qWaitForWindowExposed(&calc));
        for (const QString &k : keys)
            QTest::mouseClick(child<QPushButton>(&calc, "key_" + k), Qt::LeftButton);
        QCOMPARE(calc.display(), display);
    }

    // Where a person clicks: every point of a key (its corners and the halves
    // of the wide "0") belongs to that key and to no other.
    void calculatorKeysDoNotOverlap()
    {
        RxCalc calc;
        static_cast<QWidget &>(calc).show();
        QVERIFY(QTest::qWaitForWindowExposed(&calc));
        const QList<QPushButton *> keys = calc.findChildren<QPushButton *>();
        QCOMPARE(keys.size(), 18);
        for (QPushButton *key : keys) {
            const QRect r = key->geometry();
            QVERIFY2(r.width() >= 44 && r.height() >= 34, qPrintable(key->text()));
            for (const QPoint &p : {r.center(), r.topLeft() + QPoint(3, 3), r.topRight() + QPoint(-3, 3),
                                    r.bottomLeft() + QPoint(3, -3), r.bottomRight() + QPoint(-3, -3)})
                QVERIFY2(calc.childAt(p) == key, qPrintable(key->text() + " covered"));
        }
        QPushButton *zero = calc.findChild<QPushButton *>("key_0");
        QPushButton *one = calc.findChild<QPushButton *>("key_1");
        QPushButton *two = calc.findChild<QPushButton *>("key_2");
        QCOMPARE(zero->geometry().left(), one->geometry().left());
        QCOMPARE(zero->geometry().right(), two->geometry().right());
        QTest::mouseClick(zero, Qt::LeftButton, {}, QPoint(zero->width() - 5, zero->height() / 2));
        QTest::mouseClick(calc.findChild<QPushButton *>("key_."), Qt::LeftButton);
        QTest::mouseClick(one, Qt::LeftButton);
        QCOMPARE(calc.display(), QString("0.1"));

        // Delete and Backspace clear it, as its help page says, typed where
        // the focus is when it opens.
        for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
            QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : &calc, "12+3");
            QVERIFY(calc.display() != "0");
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &calc, key);
            QCOMPARE(calc.display(), QString("0"));
        }
    }
};

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"
