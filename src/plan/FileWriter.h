#pragma once
#include "PlanFileError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The one way this program writes a file. Every new file is first written in
// full beside its target under a temporary name (TARGET.newXXXXXX), each write
// checked, then flushed to the disk (fsync) and closed, all checked; only then
// is it renamed over the target. A failure at any point (a full disk, a
// file-size limit, a folder that cannot be written) throws FileWriteError
// carrying the system's reason ("No space left on device") and leaves the
// target exactly as it was.
//
// Several files added to one writer with a journal are replaced all or
// nothing:
//   1. every new file is complete on the disk;
//   2. the journal is put in place (written aside, renamed): for each target
//      its new file, the name of its backup (TARGET.oldXXXXXX) and whether the
//      target existed;
//   3. for each target in turn, the old file is kept under its backup name (a
//      hard link, or a rename where the file system has no links), then the
//      new file is renamed over the target;
//   4. the folders are synced and the journal removed: this is the moment the
//      save happens. The backups are removed after it.
// A failure in 2 or 3 puts every backup back and removes the new files, so
// every old file is as it was. A crash before 4 leaves the journal, and
// recover() then undoes the save the same way; a crash after 4 leaves only
// backups, which removeLeftovers() deletes, as it deletes the new files of a
// writer killed in 1.
//
// A writer destroyed without commit() removes the new files it wrote.
class FileWriter
{
public:
    FileWriter() = default;
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;
    ~FileWriter();

    // Writes `bytes` as the whole new content of `path` and flushes it to the
    // disk; the target itself is not touched yet. Throws FileWriteError.
    void add(const QString &path, const QByteArray &bytes);

    // Puts every new file in place of its target, in the order they were
    // added. Throws FileWriteError when a step fails; every target is as it
    // was then (or, should even putting an old file back fail, the journal
    // stays so that recover() can finish undoing it).
    void commit();

    // Throws away the new files; the targets stay as they were.
    void discard();

    // The file in which commit() keeps its list of renames while it runs.
    void setJournal(const QString &path) { m_journal = path; }

    // Undoes the commit a journal tells of, if there is one: every backup goes
    // back over its target, a target that did not exist before is removed,
    // the new files and the journal are removed. (A journal written by an
    // earlier version of the program, which names no backups, is finished
    // instead: its new files still there replace their targets.) Entries
    // whose target is not among `targets` (by their real path, whatever the
    // spelling) or whose files are not ones a writer names are ignored. False when
    // there was no journal; throws FileWriteError when a file cannot be put
    // back (the journal then stays for another try).
    static bool recover(const QString &journal, const QStringList &targets);

    // Removes what writers killed before they could clean up left beside
    // `targets` and `journal`: new files and backups named after them. Only
    // call it while no writer can be at work on these targets (under the
    // plan's save lock). Returns the number of files removed.
    static int removeLeftovers(const QStringList &targets, const QString &journal);

    // The file a write of `path` replaces: symbolic links followed (even to a
    // file that does not exist yet), as an absolute path in a canonical
    // folder, so that every spelling of one file gives the same name.
    static QString realPath(const QString &path);

    // Test seam: called before each step of a commit that changes a name on
    // the disk (putting the journal in place is step 0, then a backup and a
    // rename for each file, the journal's removal, the backups' removal).
    // Returning an errno makes that step fail with it; a hook may also end
    // the process to stand for a crash.
    static void setStepHook(int (*hook)(int step));

    // A writer of one file: add and commit.
    static void writeFile(const QString &path, const QByteArray &bytes);

private:
    struct Staged
    {
        QString target; // as the caller named it, for messages
        QByteArray real; // the file the rename replaces (symbolic links followed)
        QByteArray newFile; // the complete new content, beside `real`
        QByteArray backup; // where the old file is kept during a commit
        bool existed = false;
        bool backedUp = false;
        bool replaced = false;
    };
    void writeJournal();
    void commitAll();
    bool rollBack();

    std::vector<Staged> m_staged;
    QString m_journal;
    int m_step = 0;
};
