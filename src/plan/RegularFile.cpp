#include "RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

constexpr qint64 kFirstChunk = 64 * 1024;

} // namespace

QString RegularFile::kindOf(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG: return QStringLiteral("a regular file");
    case S_IFDIR: return QStringLiteral("a folder");
    case S_IFIFO: return QStringLiteral("a named pipe");
    case S_IFCHR: return QStringLiteral("a character device");
    case S_IFBLK: return QStringLiteral("a block device");
    case S_IFSOCK: return QStringLiteral("a socket");
    default: return QStringLiteral("of an unknown kind");
    }
}

RegularFile::Contents RegularFile::read(const QString &path, qint64 maxBytes)
{
    Contents result;
    const auto fail = [&](Status status, const QString &reason) {
        result.status = status;
        result.reason = reason;
        result.message = QStringLiteral("\"%1\" %2").arg(path, reason);
        result.bytes.clear();
        return result;
    };
    maxBytes = std::max<qint64>(maxBytes, 0);

    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        return fail(error == ENOENT || error == ENOTDIR ? Status::Missing : Status::Failed,
                    QStringLiteral("cannot be opened: %1").arg(systemReason(error)));
    }
    const Descriptor file(fd);

    struct stat info;
    if (::fstat(file.fd(), &info) != 0)
        return fail(Status::Failed, QStringLiteral("cannot be read: %1").arg(systemReason(errno)));
    if (!S_ISREG(info.st_mode))
        return fail(Status::NotRegular, QStringLiteral("is not a regular file: it is %1").arg(kindOf(info.st_mode)));
    result.size = info.st_size;
    if (info.st_size > maxBytes)
        return fail(Status::TooLarge, QStringLiteral("is too large: it holds more than %1 bytes").arg(maxBytes));

    // Room for the size the file gives and one byte more, which shows at once
    // whether it has grown; a file that keeps growing is read in larger
    // pieces up to the bound.
    const qint64 limit = maxBytes + 1;
    qint64 capacity = std::min<qint64>(std::max<qint64>(info.st_size + 1, kFirstChunk), limit);
    QByteArray &bytes = result.bytes;
    bytes.resize(capacity);
    qint64 got = 0;
    for (;;) {
        if (got == capacity) {
            if (capacity == limit)
                break;
            capacity = std::min<qint64>(capacity * 2, limit);
            bytes.resize(capacity);
        }
        const ssize_t n = ::read(file.fd(), bytes.data() + got, static_cast<size_t>(capacity - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(Status::Failed, QStringLiteral("cannot be read: %1").arg(systemReason(errno)));
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > maxBytes) {
        result.size = std::max<qint64>(result.size, got);
        return fail(Status::TooLarge, QStringLiteral("is too large: it holds more than %1 bytes").arg(maxBytes));
    }
    bytes.truncate(got);
    result.size = got;
    result.status = Status::Ok;
    return result;
}
