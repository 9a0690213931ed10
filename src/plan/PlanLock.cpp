#include "PlanLock.h"
#include "FileWriter.h"

#include <QLockFile>

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

PlanLock::Result PlanLock::tryLock(int timeoutMs)
{
    if (m_lock->isLocked())
        return Result::Locked;
    if (m_lock->tryLock(timeoutMs))
        return Result::Locked;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        return Result::HeldElsewhere;
    case QLockFile::PermissionError:
        m_reason = QStringLiteral("\"%1\" cannot be created: Permission denied").arg(m_fileName);
        return Result::Unavailable;
    default:
        m_reason = QStringLiteral("\"%1\" cannot be created").arg(m_fileName);
        return Result::Unavailable;
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
