#include "PlanLock.h"
#include "FileWriter.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// A lock file that says nothing of its holder is being made, or was left by
// a program killed between making it and writing into it. Its maker takes a
// file lock on it (flock) the moment it makes it and keeps it while it holds
// the lock, and that file lock dies with the process; the content follows
// within moments. So a file that nobody has claimed with flock and that has
// stayed empty past a grace period is a dead program's, and is removed.
enum class Unclaimed { No, Young, Removed };

Unclaimed removeIfUnclaimed(const QString &fileName)
{
    constexpr qint64 kGraceMs = 2000;
    const QByteArray name = QFile::encodeName(fileName);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Unclaimed::Removed : Unclaimed::No;
    Unclaimed result = Unclaimed::No;
    struct stat st
    {
    };
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0) {
        const qint64 made = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        if (QDateTime::currentMSecsSinceEpoch() - made < kGraceMs) {
            result = Unclaimed::Young;
        } else {
            ::unlink(name.constData());
            result = Unclaimed::Removed;
        }
    }
    ::close(fd); // gives up the file lock
    return result;
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
        case QLockFile::LockFailedError: break;
        case QLockFile::PermissionError:
            m_reason = QStringLiteral("\"%1\" cannot be created: Permission denied").arg(m_fileName);
            return Result::Unavailable;
        default: m_reason = QStringLiteral("\"%1\" cannot be created").arg(m_fileName); return Result::Unavailable;
        }
        // A lock file being made, or left empty, is waited for however short
        // the wait asked for: it is soon claimed, or old enough to remove.
        const Unclaimed unclaimed = holder().isEmpty() ? removeIfUnclaimed(m_fileName) : Unclaimed::No;
        if (unclaimed == Unclaimed::Removed)
            continue;
        if (unclaimed == Unclaimed::No && deadline.hasExpired())
            return Result::HeldElsewhere;
        QThread::msleep(unclaimed == Unclaimed::Young ? 50 : std::clamp<qint64>(deadline.remainingTime(), 1, 50));
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
