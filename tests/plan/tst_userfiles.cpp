// What the program keeps for the user beside the plans: the reminders due
// this week, the list of recent plans, the list files (suggested items, the
// browser's addresses), and where its own files go.
#include "DiskFailure.h"
#include "TestFiles.h"
#include "plan/DueReminders.h"
#include "plan/PlanFileError.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"
#include "plan/ProgramFolders.h"
#include "plan/RecentPlans.h"

#include <QtTest>

class TestUserFiles : public QObject
{
    Q_OBJECT

    static QStringList dueText(const Plan &plan, const QDate &today)
    {
        QStringList out;
        for (const DueReminders::Due &d : DueReminders::within(plan, today))
            out << QStringLiteral("%1 %2 %3/%4 %5").arg(d.date.toString(Qt::ISODate), d.kind, d.cat, d.item, d.desc);
        return out;
    }

private slots:
    void dueRemindersWithinAWeek_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("due");
        QTest::newRow("across the year end")
            << QDate(2026, 12, 28)
            << QStringList{"2026-12-31 E Home/Rent Rent is due", "2027-01-01 I Work/Wage New year bonus",
                           "2027-01-04 E Car/Insurance Renew insurance"};
        QTest::newRow("today and the seventh day count")
            << QDate(2026, 12, 24)
            << QStringList{"2026-12-24 E Gifts/Presents Buy presents", "2026-12-31 E Home/Rent Rent is due"};
        QTest::newRow("the 31st in a 30-day month falls on the 30th")
            << QDate(2026, 4, 27) << QStringList{"2026-04-30 E Home/Rent April rent"};
        QTest::newRow("the 29th of February in a common year")
            << QDate(2027, 2, 25) << QStringList{"2027-02-28 I Work/Wage Leap pay"};
        QTest::newRow("the 29th of February in a leap year")
            << QDate(2028, 2, 25) << QStringList{"2028-02-29 I Work/Wage Leap pay"};
        QTest::newRow("nothing due") << QDate(2026, 7, 1) << QStringList{};
    }
    void dueRemindersWithinAWeek()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, due);
        Plan plan;
        Table &r = plan.reminders();
        // Stored as the reminders are kept: by category, item, month, day.
        r.appendRow({"E", "Car", "Insurance", 4, "Renew insurance", 1});
        r.appendRow({"E", "Gifts", "Presents", 24, "Buy presents", 12});
        r.appendRow({"E", "Home", "Rent", 31, "April rent", 4});
        r.appendRow({"E", "Home", "Rent", 31, "Rent is due", 12});
        r.appendRow({"I", "Work", "Wage", 1, "New year bonus", 1});
        r.appendRow({"I", "Work", "Wage", 29, "Leap pay", 2});
        // Whatever filter the reminders page left in force.
        r.setFilter("cat_id = 'I'");
        r.setFiltered(true);
        QCOMPARE(dueText(plan, today), due);
    }

    void recentPlansOrderCapAndRemoval()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("data/recentplans.txt"); // its folder made on the first write
        RecentPlans recent(file);
        QCOMPARE(recent.entries(), QStringList());
        for (int i = 1; i <= 10; ++i)
            recent.add(dir.filePath(QStringLiteral("plan%1.pkb").arg(i)));
        QStringList expected;
        for (int i = 10; i >= 3; --i)
            expected << dir.filePath(QStringLiteral("plan%1.pkb").arg(i));
        QCOMPARE(recent.entries(), expected);

        // Opening one again moves it to the top, once, whatever name reached it.
        QDir::setCurrent(dir.path());
        recent.add("sub/../plan5.pkb");
        QCOMPARE(recent.entries().size(), RecentPlans::kMaxEntries);
        QCOMPARE(recent.entries().first(), dir.filePath("plan5.pkb"));
        QCOMPARE(recent.entries().count(dir.filePath("plan5.pkb")), 1);

        recent.remove(dir.filePath("plan5.pkb"));
        QCOMPARE(recent.entries().size(), RecentPlans::kMaxEntries - 1);
        QVERIFY(!recent.entries().contains(dir.filePath("plan5.pkb")));

        // Another copy of the program adds to the same file: nothing is undone.
        RecentPlans other(file);
        other.add(dir.filePath("elsewhere.pkb"));
        recent.add(dir.filePath("plan9.pkb"));
        QCOMPARE(recent.entries().mid(0, 2), QStringList({dir.filePath("plan9.pkb"), dir.filePath("elsewhere.pkb")}));
        QDir::setCurrent(QDir::tempPath());
    }

    void recentPlansOnAFullDisk()
    {
        SmallDisk disk(64 * 1024);
        SMALL_DISK_OR_SKIP(disk);
        RecentPlans recent(disk.filePath("recentplans.txt"));
        recent.add("/plans/home.pkb");
        QVERIFY(disk.leaveFree(0));
        QVERIFY_THROWS_EXCEPTION(FileWriteError, recent.add(QString("/plans/") + QString(5000, u'x') + ".pkb"));
        QCOMPARE(recent.entries(), QStringList({"/plans/home.pkb"}));
    }

    // A list file is one entry a line, read whichever line ends it has and
    // written with CR LF in UTF-8; an older 8-bit file still reads.
    void listFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("CR LF") << QByteArray("Rent\r\nFood\r\n") << QStringList{"Rent", "Food"};
        QTest::newRow("LF, CR, mixed") << QByteArray("a\nb\rc\r\nd\n\re") << QStringList{"a", "b", "c", "d", "", "e"};
        QTest::newRow("no line end last") << QByteArray("Rent\r\nFood") << QStringList{"Rent", "Food"};
        QTest::newRow("empty lines") << QByteArray("\r\nRent\r\n\r\n") << QStringList{"", "Rent", ""};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9\r\n") << QStringList{QString::fromUtf8("Café")};
        QTest::newRow("older 8-bit file") << QByteArray("Caf\xe9\r\n") << QStringList{QString::fromUtf8("Café")};
    }

    void listFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt"), copy = dir.filePath("copy.txt");
        writeFile(list, bytes);
        QCOMPARE(ListFile::read(list), entries);
        ListFile::write(copy, entries);
        QCOMPARE(readAll(copy), entries.isEmpty() ? QByteArray() : (entries.join("\r\n") + "\r\n").toUtf8());
        // An entry that begins with U+FEFF comes back whole.
        const QStringList marked = QStringList{QString(QChar(0xFEFF)) + "Zero width"} + entries;
        ListFile::write(dir.filePath("marked.txt"), marked);
        QCOMPARE(ListFile::read(dir.filePath("marked.txt")), marked);
        QVERIFY(!ListFile::load(dir.filePath("missing.txt")).has_value());
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        try {
            ListFile::write(dir.filePath("folder"), entries);
            QFAIL("a folder was written as a list file");
        } catch (const PlanFileError &e) {
            QVERIFY2(e.message().contains("folder"), qPrintable(e.message()));
        }
    }

    void userDataFolder_data()
    {
        QTest::addColumn<QByteArray>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_DATA_HOME") << QByteArray("/srv/user data") << "/srv/user data/kavo-pursekeep";
        QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.local/share/kavo-pursekeep";
        QTest::newRow("relative: ignored") << QByteArray("data") << QDir::homePath() + "/.local/share/kavo-pursekeep";
    }
    void userDataFolder()
    {
        QFETCH(QByteArray, xdg);
        QFETCH(QString, expected);
        const QByteArray was = qgetenv("XDG_DATA_HOME");
        if (xdg.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", xdg);
        QCOMPARE(ProgramFolders::userDataFolder(), expected);
        QCOMPARE(ProgramFolders::recentPlansFile(), expected + "/recentplans.txt");
        qputenv("XDG_DATA_HOME", was);
    }

    // An installed program: bin/ cannot be written and its files are in
    // share/kavo-pursekeep; the files it writes go to the user's folder.
    void installedProgramFolders()
    {
        QTemporaryDir user;
        const QByteArray was = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(user.path()));
        ReadOnlyFolder prefix([](const QString &root) {
            QDir(root).mkpath("bin");
            QDir(root).mkpath("share/kavo-pursekeep/help");
        });
        QVERIFY(prefix.isReady());
        const QString bin = prefix.path() + "/bin";
        QCOMPARE(ProgramFolders::resourceFolder(bin), prefix.path() + "/share/kavo-pursekeep");
        QCOMPARE(ProgramFolders::writableFolder(bin), user.path() + "/kavo-pursekeep");
        QVERIFY(QFileInfo(user.path() + "/kavo-pursekeep").isDir());

        // Installed where it could write (the superuser's own install): the
        // user's folder all the same.
        QTemporaryDir writable;
        QDir(writable.path()).mkpath("bin");
        QDir(writable.path()).mkpath("share/kavo-pursekeep/help");
        QCOMPARE(ProgramFolders::writableFolder(writable.path() + "/bin"), user.path() + "/kavo-pursekeep");

        // A build folder holds everything itself.
        QTemporaryDir build;
        QDir(build.path()).mkdir("help");
        QCOMPARE(ProgramFolders::resourceFolder(build.path()), build.path());
        QCOMPARE(ProgramFolders::writableFolder(build.path()), build.path());
        qputenv("XDG_DATA_HOME", was);
    }
};

QTEST_GUILESS_MAIN(TestUserFiles)
#include "tst_userfiles.moc"
