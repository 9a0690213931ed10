#include "ChildProcess.h"
#include "DiskFailure.h"
#include "TestFiles.h"

#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"
#include "plan/DataPacket.h"
#include "plan/FileWriter.h"
#include "plan/IniFile.h"
#include "plan/ListFile.h"
#include "plan/Plan.h"
#include "plan/PlanFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Every writer on a disk that fails: a full disk (ENOSPC) and a file-size
// limit (EFBIG), with files smaller and larger than a file device's 16 KB
// write buffer. A failed write is reported with the system's reason and
// leaves the old file, byte for byte, and nothing beside it.
class TestDiskFailures : public QObject
{
    Q_OBJECT

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // A plan of about `items` items.
    static void fill(Plan &plan, int items)
    {
        plan.categories().appendRow({"Home", "E"});
        plan.categories().appendRow({"Work", "I"});
        for (int i = 0; i < items; ++i)
            plan.items().appendRow({QStringLiteral("Item %1 with a longer name").arg(i, 5, 10, QLatin1Char('0')),
                                    "Weekly", 10.5 + i, i % 2 ? "Home" : "Work", i % 2 ? "E" : "I"});
        plan.reminders().appendRow({"E", "Home", "Item 00001 with a lo", 3, "pay it", 4});
    }

    static QStringList family(const QString &p) { return {p, p + "ln", p + "sv", p + "cat", p + "rem", p + "ini"}; }

    static bool setImmutable(const QString &path, bool on)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }

    static void expectReason(const FileWriteError &e, const QString &file, const QString &reason)
    {
        QCOMPARE(e.fileName(), file);
        QCOMPARE(e.reason(), reason);
        QVERIFY2(e.message().contains(reason) && e.message().contains(file), qPrintable(e.message()));
    }

    // The steps of one save of the whole family that change a name on the
    // disk, counted by running it.
    static int stepsOfASave()
    {
        Family probe;
        makeFamily(probe);
        static int s_steps;
        s_steps = 0;
        FileWriter::setStepHook([](int) {
            ++s_steps;
            return 0;
        });
        PlanFiles::savePlan(probe.fresh, probe.file, QString(), 4);
        FileWriter::setStepHook(nullptr);
        return s_steps;
    }

    struct Family
    {
        QTemporaryDir dir;
        QString file;
        QMap<QString, QByteArray> oldBytes;
        QMap<QString, QByteArray> newBytes;
        Plan fresh;
    };

    // A saved plan of 5 items, and the bytes of the same family after a save
    // of `fresh` (50 items, a category and a reminder more, Monthly).
    static void makeFamily(Family &f)
    {
        f.file = f.dir.filePath("p/home.pkb");
        QVERIFY(QDir(f.dir.path()).mkdir("p"));
        fill(f.fresh, 50);
        f.fresh.categories().appendRow({"Car", "E"});
        f.fresh.reminders().appendRow({"E", "Car", "Tyres", 1, "check", 3});
        QTemporaryDir scratch;
        PlanFiles::savePlan(f.fresh, scratch.filePath("home.pkb"), QString(), 4);
        for (const char *suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            f.newBytes[suffix] = readAll(scratch.filePath("home.pkb") + suffix);
        Plan old;
        fill(old, 5);
        PlanFiles::savePlan(old, f.file, QString(), 1);
        for (const char *suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            f.oldBytes[suffix] = readAll(f.file + suffix);
    }

    // The family on the disk is all old or all new, byte for byte, and
    // nothing else lies beside it.
    static void expectWhole(const Family &f, const QMap<QString, QByteArray> &expected)
    {
        for (const char *suffix : {"", "ln", "sv", "cat", "rem", "ini"})
            QVERIFY2(readAll(f.file + suffix) == expected[suffix], qPrintable(QString("home.pkb") + suffix));
        QCOMPARE(entries(QFileInfo(f.file).path()),
                 QStringList({"home.pkb", "home.pkbcat", "home.pkbini", "home.pkbln", "home.pkbrem", "home.pkbsv"}));
    }

private slots:
    void writerKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("below the buffer") << 1000;
        QTest::newRow("just below the buffer") << 16383;
        QTest::newRow("just above the buffer") << 16385;
        QTest::newRow("far above the buffer") << 300000;
    }

    void writerKeepsTheOldFile()
    {
        QFETCH(int, size);
        const QByteArray old = "the old content\r\n";
        const QByteArray fresh(size, 'n');

        // A file-size limit: the new file stops growing half way.
        {
            QTemporaryDir dir;
            const QString file = dir.filePath("list.txt");
            writeFile(file, old);
            try {
                FileSizeLimit limit(size / 2);
                FileWriter::writeFile(file, fresh);
                QFAIL("a write past the file-size limit reported success");
            } catch (const FileWriteError &e) {
                expectReason(e, file, "File too large");
            }
            QCOMPARE(readAll(file), old);
            QCOMPARE(entries(dir.path()), QStringList{"list.txt"});
        }

        // A full disk.
        SmallDisk disk(512 * 1024);
        SMALL_DISK_OR_SKIP(disk);
        const QString file = disk.filePath("list.txt");
        writeFile(file, old);
        QVERIFY(disk.leaveFree(size / 2 / 4096 * 4096));
        try {
            FileWriter::writeFile(file, fresh);
            QFAIL("a write on a full disk reported success");
        } catch (const FileWriteError &e) {
            expectReason(e, file, "No space left on device");
        }
        QCOMPARE(readAll(file), old);
        QCOMPARE(disk.entries(), QStringList{"list.txt"});
        // With room again the same write goes through.
        QVERIFY(QFile::remove(disk.filePath(".filler")));
        FileWriter::writeFile(file, fresh);
        QCOMPARE(readAll(file), fresh);
        QCOMPARE(disk.entries(), QStringList{"list.txt"});
    }

    void writerKeepsModeAndLinks()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        writeFile(file, "old");
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0600) == 0);
        QVERIFY(QFile::link(file, dir.filePath("link.pkb")));
        FileWriter::writeFile(dir.filePath("link.pkb"), "new");
        QVERIFY(QFileInfo(dir.filePath("link.pkb")).isSymLink());
        QCOMPARE(readAll(file), QByteArray("new"));
        struct stat s
        {
        };
        QVERIFY(::stat(QFile::encodeName(file).constData(), &s) == 0);
        QCOMPARE(s.st_mode & 0777, 0600u);

        // Nowhere to write: the folder is missing, or a folder has the name.
        QVERIFY_THROWS_EXCEPTION(FileWriteError, FileWriter::writeFile(dir.filePath("no/such/file"), "x"));
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        try {
            FileWriter::writeFile(dir.filePath("folder"), "x");
            QFAIL("wrote over a folder");
        } catch (const FileWriteError &e) {
            expectReason(e, dir.filePath("folder"), "Is a directory");
        }
    }

    // The five table files and the settings file are replaced together or
    // not at all: a plan on the disk is never half old and half new.
    void planSaveIsAllOrNothing_data()
    {
        QTest::addColumn<int>("oldItems");
        QTest::addColumn<int>("newItems");
        QTest::newRow("small plan grows a little") << 20 << 200; // about 1 KB to 12 KB
        QTest::newRow("plan grows past the buffer") << 200 << 2000; // 12 KB to 120 KB
    }

    void planSaveIsAllOrNothing()
    {
        QFETCH(int, oldItems);
        QFETCH(int, newItems);
        SmallDisk disk(1024 * 1024);
        SMALL_DISK_OR_SKIP(disk);
        const QString file = disk.filePath("home.pkb");
        Plan plan;
        fill(plan, oldItems);
        PlanFiles::savePlan(plan, file, file + "ini", 3);
        QMap<QString, QByteArray> before;
        for (const QString &f : family(file))
            before[f] = readAll(f);

        Plan bigger;
        fill(bigger, newItems);
        bigger.categories().appendRow({"New", "I"});
        const qint64 need = DataPacket::write(bigger.items()).size();
        QVERIFY(disk.leaveFree(need / 2 / 4096 * 4096));
        try {
            PlanFiles::savePlan(bigger, file, file + "ini", 5);
            QFAIL("a save on a full disk reported success");
        } catch (const FileWriteError &e) {
            expectReason(e, file, "No space left on device");
        }
        for (const QString &f : family(file))
            QVERIFY2(readAll(f) == before[f], qPrintable(f));
        QCOMPARE(disk.entries(),
                 QStringList({"home.pkb", "home.pkbcat", "home.pkbini", "home.pkbln", "home.pkbrem", "home.pkbsv"}));
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), oldItems);
    }

    void planSaveStopsAtAnyFileAndKeepsAll()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        Plan plan;
        fill(plan, 3);
        PlanFiles::savePlan(plan, file, file + "ini", 2);
        QMap<QString, QByteArray> before;
        for (const QString &f : family(file))
            before[f] = readAll(f);

        plan.items().appendRow({"New", "Daily", 2, "Work", "I"});
        plan.categories().appendRow({"New", "I"});
        for (const QString &blocked : {file + "rem", file + "ini", file + "sv"}) {
            // A folder stands where one of the files should go.
            QVERIFY(QFile::remove(blocked));
            QVERIFY(QDir(dir.path()).mkdir(QFileInfo(blocked).fileName()));
            try {
                PlanFiles::savePlan(plan, file, file + "ini", 4);
                QFAIL("the save reported success");
            } catch (const FileWriteError &e) {
                QCOMPARE(e.fileName(), blocked);
            }
            QVERIFY(QDir(dir.path()).rmdir(QFileInfo(blocked).fileName()));
            writeFile(blocked, before[blocked]);
            for (const QString &f : family(file))
                QVERIFY2(readAll(f) == before[f], qPrintable(blocked + " blocked, " + f + " changed"));
            QCOMPARE(entries(dir.path()).size(), 6);
        }
        PlanFiles::savePlan(plan, file, file + "ini", 4);
        QCOMPARE(PlanFiles::readDisplayFrequencyText(file + "ini"), QString("4"));
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), 4);
    }

    // The save process dies before any step that changes a name: the next
    // open, by another spelling of the path, finds the plan wholly old until
    // the journal is gone and wholly new after, and nothing of the save left.
    void crashAtEveryStepLeavesOldOrNew_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("absolute, through ..") << "%1/p/../p/home.pkb";
        QTest::newRow("doubled slashes") << "%1//p//home.pkb";
        QTest::newRow("a link to the folder") << "%1/link/home.pkb";
        QTest::newRow("relative") << "relative";
    }

    void crashAtEveryStepLeavesOldOrNew()
    {
        QFETCH(QString, spelling);
        const int steps = stepsOfASave();
        QCOMPARE(steps, 2 + 2 * 6 + 1); // journal, a backup and a rename a file, journal gone, backups gone
        for (int crashAt = 0; crashAt < steps; ++crashAt) {
            Family f;
            makeFamily(f);
            if (spelling.contains("link"))
                QVERIFY(QFile::link(f.dir.filePath("p"), f.dir.filePath("link")));

            static int s_crashAt;
            s_crashAt = crashAt;
            QCOMPARE(exitStatusOfChild([&] {
                         FileWriter::setStepHook([](int step) {
                             if (step == s_crashAt)
                                 ::_exit(0);
                             return 0;
                         });
                         PlanFiles::savePlan(f.fresh, f.file, QString(), 4);
                         return 1; // the hook did not stop it
                     }),
                     0);

            QString other = spelling.contains("%1") ? spelling.arg(f.dir.path()) : spelling;
            const QString here = QDir::currentPath();
            if (spelling == "relative") {
                QDir::setCurrent(f.dir.path());
                other = "p/home.pkb";
            }
            Plan back;
            PlanFiles::Opened opened;
            try {
                opened = PlanFiles::loadPlan(back, other);
            } catch (const PlanFileError &e) {
                QDir::setCurrent(here);
                QFAIL(qPrintable(e.message()));
            }
            QDir::setCurrent(here);
            QVERIFY(opened.missing.isEmpty());
            const bool saved = crashAt >= steps - 1; // only the backups' removal was left
            QCOMPARE(back.items().totalRowCount(), saved ? 50 : 5);
            QCOMPARE(back.reminders().totalRowCount(), saved ? 2 : 1);
            if (spelling.contains("link"))
                QVERIFY(QFile::remove(f.dir.filePath("link")));
            expectWhole(f, saved ? f.newBytes : f.oldBytes);
        }
    }

    // A step that fails (an I/O error, a file that may not be renamed) puts
    // every old file back: the save reports it and nothing has changed.
    void failureAtEveryStepPutsEverythingBack()
    {
        const int steps = stepsOfASave();
        for (int failAt = 0; failAt < steps; ++failAt) {
            Family f;
            makeFamily(f);
            static int s_failAt;
            s_failAt = failAt;
            FileWriter::setStepHook([](int step) { return step == s_failAt ? EIO : 0; });
            bool failed = false;
            try {
                PlanFiles::savePlan(f.fresh, f.file, QString(), 4);
            } catch (const FileWriteError &e) {
                failed = true;
                QCOMPARE(e.reason(), QString("Input/output error"));
            }
            FileWriter::setStepHook(nullptr);
            // Removing the old files once the save is done may fail unseen:
            // they are removed at the next open.
            const bool saved = failAt == steps - 1;
            QCOMPARE(failed, !saved);
            if (saved) {
                Plan back;
                PlanFiles::loadPlan(back, f.file);
            }
            expectWhole(f, saved ? f.newBytes : f.oldBytes);
        }
    }

    // A sibling that may not be replaced (immutable, as a file of another
    // user in a shared folder is to us): the save fails and every file that
    // was already replaced is put back.
    void immutableSiblingKeepsTheWholeOldPlan_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("first file") << "";
        QTest::newRow("savings, in the middle") << "sv";
        QTest::newRow("reminders, the last table") << "rem";
        QTest::newRow("settings") << "ini";
    }

    void immutableSiblingKeepsTheWholeOldPlan()
    {
        QFETCH(QString, suffix);
        Family f;
        makeFamily(f);
        const QString blocked = f.file + suffix;
        if (!setImmutable(blocked, true))
            QSKIP("the file system or user cannot make a file immutable");
        QString message;
        try {
            PlanFiles::savePlan(f.fresh, f.file, QString(), 4);
        } catch (const FileWriteError &e) {
            message = e.message();
        }
        QVERIFY(setImmutable(blocked, false));
        QCOMPARE(message, "\"" + blocked + "\" cannot be written: Operation not permitted");
        expectWhole(f, f.oldBytes);
    }

    // A writer killed while it wrote its new files (before any rename) left
    // them beside the plan: the next open removes them.
    void filesOfAKilledWriterGoAtTheNextOpen()
    {
        Family f;
        makeFamily(f);
        QCOMPARE(exitStatusOfChild([&] {
                     FileWriter writer; // never destroyed: the process ends as if killed
                     writer.add(f.file, QByteArray(100000, 'x'));
                     writer.add(f.file + "rem", "half");
                     ::_exit(0);
                     return 0;
                 }),
                 0);
        QCOMPARE(entries(QFileInfo(f.file).path()).size(), 8);
        // A file of the person's that merely looks alike stays.
        writeFile(f.file + ".newer", "mine");
        Plan back;
        PlanFiles::loadPlan(back, f.file);
        QCOMPARE(back.items().totalRowCount(), 5);
        QVERIFY(QFile::remove(f.file + ".newer"));
        expectWhole(f, f.oldBytes);
    }

    // Two programs save one plan at the same instant, again and again: the
    // saves take turns, and the plan on the disk is always one of them whole.
    void simultaneousSavesNeverInterleave()
    {
        Family f;
        makeFamily(f);
        Plan old;
        fill(old, 5);
        for (int round = 0; round < 12; ++round) {
            int gate[2];
            QCOMPARE(::pipe(gate), 0);
            pid_t children[2];
            for (int c = 0; c < 2; ++c) {
                children[c] = ::fork();
                QVERIFY(children[c] >= 0);
                if (children[c] == 0) {
                    ::close(gate[1]);
                    char byte;
                    while (::read(gate[0], &byte, 1) > 0) { }
                    try {
                        PlanFiles::savePlan(c == 0 ? f.fresh : old, f.file, QString(), c == 0 ? 4 : 1);
                    } catch (const PlanFileError &) {
                        ::_exit(1); // never back into the test runner
                    }
                    ::_exit(0);
                }
            }
            ::close(gate[0]);
            ::close(gate[1]); // both start now
            for (pid_t child : children) {
                int status = -1;
                QCOMPARE(::waitpid(child, &status, 0), child);
                QCOMPARE(status, 0);
            }
            const bool fresh = readAll(f.file) == f.newBytes[""];
            expectWhole(f, fresh ? f.newBytes : f.oldBytes);
        }
    }

    // A table too large to be opened again is refused before any file of the
    // plan is replaced.
    void aPlanTooLargeToOpenAgainIsNotWritten()
    {
        Family f;
        makeFamily(f);
        Plan huge;
        fill(huge, 1);
        const QString note(600, u'n');
        std::vector<Table::Row> rows;
        // Each row takes its note and a few bytes more: just past the limit.
        for (qint64 i = 0; i * 600 < PlanFiles::kMaxTableFileSize + (1 << 20); ++i)
            rows.push_back({QStringLiteral("Item %1").arg(i), "Weekly", 1.0, "Home", "E", note});
        huge.items().setAllRows(std::move(rows));
        try {
            PlanFiles::savePlan(huge, f.file, QString(), 4);
            QFAIL("a plan past the limit of the reader was written");
        } catch (const FileWriteError &e) {
            QVERIFY2(e.message().startsWith("\"" + f.file + "\" cannot be written: the table would take "),
                     qPrintable(e.message()));
            QVERIFY2(e.message().endsWith("more than the 128 MB a plan file may hold, so the plan could not be "
                                          "opened again"),
                     qPrintable(e.message()));
        }
        expectWhole(f, f.oldBytes);
    }

    // A journal names only files of its own plan: anything else is left alone.
    void journalTouchesNothingElse()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("home.pkb");
        Plan plan;
        fill(plan, 2);
        PlanFiles::savePlanTables(plan, file);
        const QString victim = dir.filePath("letter.txt");
        writeFile(victim, "keep me");
        writeFile(victim + ".newabcdef", "overwritten");
        writeFile(file + "cat.newzzzzzz", "not a packet");
        const QByteArray journal = QFile::encodeName(victim + ".newabcdef").toPercentEncoding("/") + '\t'
            + QFile::encodeName(victim).toPercentEncoding("/") + "\n"
            + QFile::encodeName(file + "cat.newzzzzzz").toPercentEncoding("/") + '\t'
            + QFile::encodeName(file + "cat").toPercentEncoding("/");
        // Cut short: not ended, so not a journal a commit wrote.
        writeFile(PlanFiles::journalFile(file), journal + "\n");
        Plan back;
        PlanFiles::loadPlan(back, file);
        QCOMPARE(back.items().totalRowCount(), 2);
        QVERIFY(!QFile::exists(PlanFiles::journalFile(file)));
        // Whole, but the letter is no file of the plan.
        writeFile(PlanFiles::journalFile(file),
                  QFile::encodeName(victim + ".newabcdef").toPercentEncoding("/") + '\t'
                      + QFile::encodeName(victim).toPercentEncoding("/") + "\nend\n");
        PlanFiles::loadPlan(back, file);
        QCOMPARE(readAll(victim), QByteArray("keep me"));
        QCOMPARE(back.categories().totalRowCount(), 2);
    }

    void settingsListAndLoanFiles_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("small") << 10;
        QTest::newRow("past the buffer") << 2000;
    }

    // The other writers go through the same writer and say why they failed.
    void settingsListAndLoanFiles()
    {
        QFETCH(int, count);
        QTemporaryDir dir;
        const QString ini = dir.filePath("cfgpk.ini");
        const QString list = dir.filePath("incitems.txt");
        const QString loan = dir.filePath("loan.txt");
        writeFile(ini, "[Options]\r\nhints=true\r\n");
        writeFile(list, "Wage\r\n");
        writeFile(loan, "old loan\r\n");
        QStringList many;
        for (int i = 0; i < count; ++i)
            many << QStringLiteral("Suggested item number %1").arg(i);
        LoanPage page;
        page.principal = 100000;
        page.years = count < 100 ? 1 : 40;
        page.rate = 6;
        calc_loan_details(LoanCalcMode::LevelPayment, page.years, page.principal, page.rate, 0, 0,
                          page.calculations[0]);

        {
            FileSizeLimit limit(12);
            try {
                IniFile::write(ini, "Options", "Tips", many.join(u','));
                QFAIL("settings written past the limit");
            } catch (const FileWriteError &e) {
                expectReason(e, ini, "File too large");
            }
            QVERIFY_THROWS_EXCEPTION(FileWriteError, ListFile::write(list, many));
            QString error;
            QVERIFY(!LoanTextFile::write(loan, page, &error));
            QCOMPARE(error, "Cannot write the loan calculations to \"" + loan + "\": File too large");
        }
        QCOMPARE(readAll(ini), QByteArray("[Options]\r\nhints=true\r\n"));
        QCOMPARE(readAll(list), QByteArray("Wage\r\n"));
        QCOMPARE(readAll(loan), QByteArray("old loan\r\n"));
        QCOMPARE(entries(dir.path()).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDiskFailures)
#include "tst_diskfailures.moc"
