#pragma once
#include "PlanFileError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The one way this program writes a file. Every new file is first written in
// full beside its target under a temporary name, each write checked, then
// flushed to the disk (fsync) and closed, all checked; only then is it renamed
// over the target. A failure at any point (a full disk, a file-size limit, a
// folder that cannot be written) throws FileWriteError carrying the system's
// reason ("No space left on device") and leaves the target exactly as it was.
//
// Several files added to one writer are replaced together: none of the
// targets changes until every new file is complete on the disk. The renames
// that follow are each atomic; a crash in the instant between two of them
// would leave some targets new and the rest old. A writer given a journal
// closes that gap: before the first rename it puts on the disk which new file
// goes where, and removes that list when every file is in place, so recover()
// can finish a commit that a crash or power cut interrupted.
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
    // added. Throws FileWriteError when a rename fails; the new files not yet
    // in place are removed then.
    void commit();

    // Throws away the new files; the targets stay as they were.
    void discard();

    // The file in which commit() keeps its list of renames while it runs.
    void setJournal(const QString &path) { m_journal = path; }

    // Finishes the commit a journal tells of, if there is one: every new file
    // it names that is still there replaces its target. Entries whose target
    // is not among `targets`, or whose new file is not one this writer names,
    // are ignored. False when there was no journal; throws FileWriteError when
    // a file cannot be put in place (the journal then stays for another try).
    static bool recover(const QString &journal, const QStringList &targets);

    // Test seam: called before the first rename of a commit (0) and after
    // each one with the number done.
    static void setRenameHook(void (*hook)(int renamesDone));

    // A writer of one file: add and commit.
    static void writeFile(const QString &path, const QByteArray &bytes);

private:
    struct Staged
    {
        QString target;     // as the caller named it, for messages
        QByteArray real;    // the file the rename replaces (symbolic links followed)
        QByteArray newFile; // the complete new content, beside `real`
    };
    void writeJournal() const;

    std::vector<Staged> m_staged;
    QString m_journal;
};
