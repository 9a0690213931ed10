#pragma once
#include <QString>

#include <memory>

class QLockFile;

// The locks of a plan, files beside its main file (by its real path, so
// every spelling of the plan finds them). QLockFile writes the process and
// host into them and takes a lock over from a process that died.
//
//   Open  P.lock         held by a program window while it shows the plan and
//                        by pursekeep-cli while it replaces the plan, so that
//                        a second program knows the plan is in use;
//   Save  P.saving.lock  held for the moment of a save, or of opening the
//                        plan, so that saves of one plan never interleave and
//                        an open never reads a family while it is replaced.
class PlanLock
{
public:
    enum class Kind { Open, Save };
    enum class Result {
        Locked, // this object holds the lock
        HeldElsewhere, // a running program holds it; holder() says which
        Unavailable, // the lock file cannot be made (a read-only folder); reason()
    };

    PlanLock(const QString &planFile, Kind kind);
    ~PlanLock();
    PlanLock(const PlanLock &) = delete;
    PlanLock &operator=(const PlanLock &) = delete;

    // Tries for up to `timeoutMs` milliseconds (0: once).
    Result tryLock(int timeoutMs = 0);
    bool isLocked() const;
    void unlock();

    // Who holds the lock, for messages: "process 4711 (pursekeep) on host
    // "desk"". Empty when that cannot be read.
    QString holder() const;
    QString reason() const { return m_reason; }
    QString fileName() const { return m_fileName; }

    static QString fileName(const QString &planFile, Kind kind);

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
    QString m_reason;
};
