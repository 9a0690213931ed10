#pragma once
#include "PlanFiles.h"

#include <QDateTime>
#include <QString>
#include <future>
#include <memory>
#include <vector>

class Plan;
class QLockFile;

// A copy of a plan with unsaved changes, kept so that a crash of the program
// or the computer loses none of them. Each plan window keeps one, in a
// folder of its own below the recovery folder (never beside the plan's own
// files), written through the all-or-nothing writer like any plan. The
// program that keeps a copy holds its lock (the folder's name + ".lock")
// while it runs; a copy whose lock nobody holds was left by a program that
// died, and the next start offers it back.
class RecoveryCopy
{
public:
    // What the copy is of.
    struct About
    {
        QString planFile; // the plan's own file; empty for one never saved
        QString title; // the window's title
        int displayFrequency = 2;
        QDateTime time; // when the copy was taken (UTC)
    };

    // A new copy below `folder` (made when missing), its lock held. Nothing
    // is written until write().
    explicit RecoveryCopy(const QString &folder);
    // Waits for a write still running; the files stay (discard() removes them).
    ~RecoveryCopy();
    RecoveryCopy(const RecoveryCopy &) = delete;
    RecoveryCopy &operator=(const RecoveryCopy &) = delete;

    // Takes the plan's content now (a few milliseconds for a large plan) and
    // writes it in the background, replacing the copy before it all or
    // nothing. A write still running is waited for first.
    void write(const Plan &plan, About about);
    // Whether a write is still running; what the last write that ended said
    // went wrong (empty when it succeeded).
    bool isWriting() const;
    QString lastProblem();
    void waitForWrite();

    // Removes the copy's files and lock.
    void discard();

    QString path() const { return m_path; }
    const About &about() const { return m_about; }
    // Why a copy found at start-up cannot be read; empty when it can.
    const QString &problem() const { return m_problem; }

    // Reads the copy's tables into `plan`. Throws FileFormatError when it
    // cannot be read; the plan is as it was then.
    void load(Plan &plan) const;

    // The copies below `folder` whose programs are no longer running, oldest
    // first, each with its lock now held here. A copy that cannot be read is
    // among them, its problem said.
    static std::vector<std::unique_ptr<RecoveryCopy>> orphans(const QString &folder);

private:
    RecoveryCopy() = default;
    bool takeLock(const QString &lockFile);
    QString mainFile() const;
    QString aboutFile() const;
    void readAbout();

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    About m_about;
    QString m_problem;
    std::future<QString> m_writing;
    QString m_lastProblem;
};
