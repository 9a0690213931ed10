#pragma once
// Disks that really fail, for tests of every writer:
//
//   SmallDisk      a tmpfs of a few kilobytes mounted on a temporary folder in
//                  a mount namespace of the test process's own (needs root; the
//                  mount vanishes with the process), filled to leave exactly
//                  the free space a test asks for: writes fail with ENOSPC.
//   ReadOnlyFolder a folder nobody may write to, the superuser included: a
//                  read-only tmpfs in the same private mount namespace (root),
//                  or a folder without write permission (anyone else).
//   FileSizeLimit  RLIMIT_FSIZE with SIGXFSZ ignored, for the test process or
//                  (through QProcess's child modifier) for a program it runs:
//                  a write past the limit fails with EFBIG. Works everywhere.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

class SmallDisk
{
public:
    explicit SmallDisk(qint64 sizeBytes)
    {
        if (!privateMounts())
            return;
        const QByteArray where = QFile::encodeName(m_folder.path());
        const QByteArray options = "size=" + QByteArray::number(sizeBytes);
        m_mounted = ::mount("pursekeep-test", where.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }

    qint64 freeBytes() const
    {
        struct statvfs s
        {
        };
        if (::statvfs(QFile::encodeName(path()).constData(), &s) != 0)
            return -1;
        return qint64(s.f_bavail) * qint64(s.f_frsize);
    }

    // Takes space with a filler file until about `bytes` stay free (the disk
    // counts whole pages).
    bool leaveFree(qint64 bytes)
    {
        const qint64 take = freeBytes() - bytes;
        if (take <= 0)
            return take == 0;
        QFile filler(filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::Append))
            return false;
        return filler.write(QByteArray(take, 'x')) == take && filler.flush();
    }

    // Every name in the folder but the filler, sorted.
    QStringList entries() const
    {
        QStringList names = QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

    // Mounts the disk again read-only: every write then fails with EROFS.
    bool makeReadOnly()
    {
        return m_mounted
            && ::mount("pursekeep-test", QFile::encodeName(path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       nullptr)
            == 0;
    }

private:
    static bool privateMounts()
    {
        static const bool done = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
            && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return done;
    }

    QTemporaryDir m_folder;
    bool m_mounted = false;
};

#define SMALL_DISK_OR_SKIP(disk)                                                                                       \
    do {                                                                                                               \
        if (!(disk).isMounted())                                                                                       \
            QSKIP("a small tmpfs needs root (the RLIMIT_FSIZE cases run instead)");                                    \
    } while (false)

class ReadOnlyFolder
{
public:
    // `fill` puts the folder's files in place before it turns read-only.
    explicit ReadOnlyFolder(const std::function<void(const QString &folder)> &fill)
    {
        if (::geteuid() == 0) {
            m_disk = std::make_unique<SmallDisk>(qint64(4) << 20);
            if (!m_disk->isMounted())
                return;
            fill(m_disk->path());
            m_ready = m_disk->makeReadOnly();
        } else {
            fill(m_folder.path());
            m_ready = QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::ExeOwner);
        }
    }
    ~ReadOnlyFolder()
    {
        if (!m_disk)
            QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool isReady() const { return m_ready; }
    QString path() const { return m_disk ? m_disk->path() : m_folder.path(); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<SmallDisk> m_disk;
    bool m_ready = false;
};

class FileSizeLimit
{
public:
    // No file of this process grows past `bytes` while the object lives.
    explicit FileSizeLimit(qint64 bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        apply(bytes);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // For QProcess::setChildProcessModifier: the limit in the child only.
    static void apply(qint64 bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit
        {
        };
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }

private:
    struct rlimit m_old
    {
    };
    void (*m_oldHandler)(int) = SIG_DFL;
};
