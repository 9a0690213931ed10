#include "plan/CalendarTime.h"
#include "plan/Clock.h"
#include "plan/DataPacket.h"
#include "plan/Plan.h"
#include "plan/PlanEdits.h"
#include "plan/PlanFiles.h"
#include "plan/PlanTotals.h"
#include "plan/Savings.h"

#include <QTemporaryDir>
#include <QTest>
#include <ctime>

// Dates are calendar dates in every time zone, also on a day whose local
// midnight does not exist because the clocks jump from 00:00 to 01:00.
class TestCalendarDates : public QObject
{
    Q_OBJECT

    QByteArray m_oldZone;

    static void useZone(const QByteArray &zone)
    {
        qputenv("TZ", zone);
        tzset();
    }

private slots:
    void initTestCase() { m_oldZone = qgetenv("TZ"); }
    void cleanup()
    {
        Clock::reset();
        if (m_oldZone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_oldZone);
        tzset();
    }

    void dayWithoutMidnight_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("day");
        QTest::newRow("America/Santiago") << QByteArray("America/Santiago") << QDate(2024, 9, 8);
        QTest::newRow("America/Sao_Paulo") << QByteArray("America/Sao_Paulo") << QDate(2018, 11, 4);
        QTest::newRow("Asia/Beirut") << QByteArray("Asia/Beirut") << QDate(2024, 3, 31);
    }

    // Stored, read back, counted and compared as the day it is.
    void dayWithoutMidnight()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, day);
        useZone(zone);
        if (QDateTime(day, QTime(0, 0)).isValid())
            QSKIP("this system's time-zone data has no jump at that midnight");

        // A goal stored from the editor's date or from a local date-time keeps its day.
        Plan plan;
        QVERIFY(PlanEdits::addSavingsGoal(plan, "Bike", "Weekly", CalendarTime::at(day),
                                          CalendarTime::at(day.addDays(7)), 70)
                    .ok());
        QCOMPARE(plan.savings().allRows().front().at(5).toDouble(), 70.0); // one whole week
        plan.savings().appendRow({"Skipped midnight", 10, QDateTime(day, QTime(0, 0)),
                                  QDateTime(day.addDays(14), QTime(0, 0)), "Weekly", 5});
        plan.loans().appendRow({"Car", "Bank", 1000, 50, "Monthly", QDateTime(day.addDays(-30), QTime(0, 0)), 1,
                                QDateTime(day, QTime(0, 0)), 5.0});
        for (const Table::Row &row : plan.savings().allRows()) {
            QCOMPARE(row.at(2).toDateTime().date(), day);
            QCOMPARE(row.at(2).toDateTime().time(), QTime(0, 0));
        }
        QCOMPARE(Savings::periods("Weekly", plan.savings().allRows().at(1).at(2).toDateTime(),
                                  plan.savings().allRows().at(1).at(3).toDateTime()),
                 qint64(2));

        // Saved and opened again in that zone.
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        PlanFiles::savePlanTables(plan, file);
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.savings().totalRowCount(), 2);
        QCOMPARE(back.savings().allRows().at(1).at(2).toDateTime(), CalendarTime::at(day));
        QCOMPARE(back.loans().allRows().front().at(7).toDateTime(), CalendarTime::at(day));
        QCOMPARE(DataPacket::write(back.savings()), DataPacket::write(plan.savings()));

        // The loan ending that day counts the evening before and no longer
        // once the day has begun.
        const auto loansTotal = [&back](const QDateTime &now) { return computePlanTotals(back, "Monthly", now).loans; };
        QCOMPARE(loansTotal(QDateTime(day.addDays(-1), QTime(23, 30))), 50.0);
        QCOMPARE(loansTotal(QDateTime(day, QTime(1, 30))), 0.0);

        // The balance after one week counts one instalment.
        QCOMPARE(Savings::balance("Weekly", CalendarTime::at(day), 70, 140, QDateTime(day.addDays(7), QTime(9, 0))),
                 70.0);
    }

    // A file written in one zone reads the same days in any other.
    void sameDaysInEveryZone()
    {
        useZone("Pacific/Kiritimati"); // UTC+14
        Plan plan;
        plan.savings().appendRow({"Trip", 100, QDateTime(QDate(2024, 9, 8), QTime(0, 0)),
                                  QDateTime(QDate(2024, 12, 31), QTime(23, 59)), "Monthly", 25});
        const QByteArray packet = DataPacket::write(plan.savings());
        for (const QByteArray zone : {"UTC", "America/Santiago", "Pacific/Pago_Pago", "Asia/Beirut"}) {
            useZone(zone);
            std::unique_ptr<Table> table(Plan::createTable("cds_savings"));
            table->setAllRows(DataPacket::read(packet, *table, "trip.pkbsv"));
            QCOMPARE(table->allRows().front().at(2).toDateTime().date(), QDate(2024, 9, 8));
            QCOMPARE(table->allRows().front().at(3).toDateTime().time(), QTime(23, 59));
            QCOMPARE(DataPacket::write(*table), packet);
        }
    }
};

QTEST_GUILESS_MAIN(TestCalendarDates)
#include "tst_calendardates.moc"
