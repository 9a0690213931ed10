#include "PlanLock.h"
#include "FileWriter.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

PlanLock::PlanLock(const QString &planFile, Kind kind)
    : m_fileName(fileName(planFile, kind)), m_lock(std::make_unique<QLockFile>(m_fileName))
{
    // A lock counts for as long as its process lives, however long that is.
    m_lock->setStaleLockTime(0);
}

PlanLock::~PlanLock() = default;

QString PlanLock::fileName(const QString &planFile, Kind kind)
{
    const QString real = FileWriter::realPath(planFile);
    return real + (kind == Kind::Open ? QStringLiteral(".lock") : QStringLiteral(".saving.lock"));
}

namespace {

// A lock file that says nothing of its holder was left by a program killed
// between making it and writing into it: its holder takes a file lock on it
// (flock) the moment it makes it, and that lock dies with the process. Such
// a file is removed; true when it was.
bool removeIfUnclaimed(const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool unclaimed = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (unclaimed)
        ::unlink(name.constData());
    ::close(fd);
    return unclaimed;
}

} // namespace

PlanLock::Result PlanLock::tryLock(int timeoutMs)
{
    if (m_lock->isLocked())
        return Result::Locked;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (m_lock->tryLock(0))
            return Result::Locked;
        switch (m_lock->error()) {
        case QLockFile::LockFailedError:
            break;
        case QLockFile::PermissionError:
            m_reason = QStringLiteral("\"%1\" cannot be created: Permission denied").arg(m_fileName);
            return Result::Unavailable;
        default:
            m_reason = QStringLiteral("\"%1\" cannot be created").arg(m_fileName);
            return Result::Unavailable;
        }
        if (holder().isEmpty() && removeIfUnclaimed(m_fileName))
            continue;
        if (deadline.hasExpired())
            return Result::HeldElsewhere;
        QThread::msleep(std::clamp<qint64>(deadline.remainingTime(), 1, 50));
    }
}

bool PlanLock::isLocked() const
{
    return m_lock->isLocked();
}

void PlanLock::unlock()
{
    if (m_lock->isLocked())
        m_lock->unlock();
}

QString PlanLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString app;
    if (!m_lock->getLockInfo(&pid, &host, &app))
        return {};
    QString text = QStringLiteral("process %1").arg(pid);
    if (!app.isEmpty())
        text += QStringLiteral(" (%1)").arg(app);
    if (!host.isEmpty())
        text += QStringLiteral(" on host \"%1\"").arg(host);
    return text;
}
