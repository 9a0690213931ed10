#include "FileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString &target, const char *what, int error)
{
    const QString why = reason(error);
    throw FileWriteError(target, QStringLiteral("\"%1\" %2: %3").arg(target, QLatin1String(what), why), why);
}

// The file a rename must replace: a symbolic link keeps pointing where it
// did, and the file it points to gets the new content.
QByteArray realTarget(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        return QFile::encodeName(info.canonicalFilePath());
    return QFile::encodeName(path);
}

// A new empty file beside `real`, created for this writer alone.
int createBeside(const QByteArray &real, QByteArray &name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = real + ".new";
        for (int i = 0; i < 6; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes all of `bytes`; false with errno set when the system refuses.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void syncFolderOf(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileWriter::~FileWriter()
{
    discard();
}

void FileWriter::add(const QString &path, const QByteArray &bytes)
{
    Staged staged{path, realTarget(path), {}};
    struct stat old{};
    const bool exists = ::stat(staged.real.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        fail(path, "cannot be created", EISDIR);

    const int fd = createBeside(staged.real, staged.newFile);
    if (fd < 0)
        fail(path, "cannot be created", errno);
    if (exists)
        ::fchmod(fd, old.st_mode & 07777); // a plan kept private stays private

    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(staged.newFile.constData());
        fail(path, "cannot be written", error);
    }
    m_staged.push_back(std::move(staged));
}

void FileWriter::commit()
{
    QSet<QByteArray> done;
    for (size_t i = 0; i < m_staged.size(); ++i) {
        const Staged &s = m_staged[i];
        if (::rename(s.newFile.constData(), s.real.constData()) != 0) {
            const int error = errno;
            m_staged.erase(m_staged.begin(), m_staged.begin() + static_cast<std::ptrdiff_t>(i));
            const QString target = m_staged.front().target;
            discard();
            fail(target, "cannot be written", error);
        }
        done.insert(s.real);
    }
    m_staged.clear();
    // The renames themselves reach the disk with their folders.
    QSet<QByteArray> folders;
    for (const QByteArray &file : std::as_const(done)) {
        const qsizetype slash = file.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray() : file.left(slash);
        if (!folders.contains(folder)) {
            folders.insert(folder);
            syncFolderOf(file);
        }
    }
}

void FileWriter::discard()
{
    for (const Staged &s : m_staged)
        ::unlink(s.newFile.constData());
    m_staged.clear();
}

void FileWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    FileWriter writer;
    writer.add(path, bytes);
    writer.commit();
}
