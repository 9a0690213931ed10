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

// Writes `bytes` into a new file beside `real`, flushed to the disk and
// closed; 0 with its name in `newFile`, or the system's error number with
// what failed in `what`.
int writeBeside(const QByteArray &real, const QByteArray &bytes, int mode, QByteArray &newFile,
                const char **what)
{
    *what = "cannot be created";
    const int fd = createBeside(real, newFile);
    if (fd < 0)
        return errno == 0 ? EIO : errno;
    *what = "cannot be written";
    if (mode >= 0)
        ::fchmod(fd, static_cast<mode_t>(mode));
    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(newFile.constData());
    return error;
}

void (*g_renameHook)(int) = nullptr;

bool isNewFileOf(const QByteArray &newFile, const QByteArray &target)
{
    if (newFile.size() != target.size() + 10 || !newFile.startsWith(target + ".new"))
        return false;
    for (qsizetype i = target.size() + 4; i < newFile.size(); ++i) {
        const char c = newFile.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
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
    // A plan kept private stays private.
    const int mode = exists ? static_cast<int>(old.st_mode & 07777) : -1;
    const char *what = nullptr;
    const int error = writeBeside(staged.real, bytes, mode, staged.newFile, &what);
    if (error != 0)
        fail(path, what, error);
    m_staged.push_back(std::move(staged));
}

void FileWriter::writeJournal() const
{
    QByteArray text;
    for (const Staged &s : m_staged)
        text += s.newFile.toPercentEncoding("/") + '\t' + s.real.toPercentEncoding("/") + '\n';
    text += "end\n";
    const QByteArray journal = QFile::encodeName(m_journal);
    QByteArray newFile;
    const char *what = nullptr;
    int error = writeBeside(journal, text, -1, newFile, &what);
    if (error == 0 && ::rename(newFile.constData(), journal.constData()) != 0) {
        error = errno;
        ::unlink(newFile.constData());
    }
    if (error != 0)
        fail(m_journal, "cannot be written", error);
    syncFolderOf(journal);
}

void FileWriter::commit()
{
    const bool journal = !m_journal.isEmpty() && m_staged.size() > 1;
    if (journal) {
        try {
            writeJournal();
        } catch (const FileWriteError &) {
            discard();
            throw;
        }
    }
    if (g_renameHook)
        g_renameHook(0);
    QSet<QByteArray> done;
    for (size_t i = 0; i < m_staged.size(); ++i) {
        const Staged &s = m_staged[i];
        if (::rename(s.newFile.constData(), s.real.constData()) != 0) {
            const int error = errno;
            m_staged.erase(m_staged.begin(), m_staged.begin() + static_cast<std::ptrdiff_t>(i));
            const QString target = m_staged.front().target;
            discard();
            if (journal)
                ::unlink(QFile::encodeName(m_journal).constData());
            fail(target, "cannot be written", error);
        }
        done.insert(s.real);
        if (g_renameHook)
            g_renameHook(static_cast<int>(i) + 1);
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
    if (journal) {
        const QByteArray name = QFile::encodeName(m_journal);
        ::unlink(name.constData());
        syncFolderOf(name);
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

bool FileWriter::recover(const QString &journal, const QStringList &targets)
{
    QFile file(journal);
    if (!file.exists())
        return false;
    constexpr qint64 kMaxJournal = 1 << 20;
    QByteArray text;
    if (file.size() <= kMaxJournal && file.open(QIODevice::ReadOnly))
        text = file.readAll();
    file.close();
    QList<QByteArray> lines = text.split('\n');
    const bool complete = lines.size() >= 2 && lines.at(lines.size() - 2) == "end" && lines.last().isEmpty();
    if (complete) {
        QSet<QByteArray> allowed;
        for (const QString &t : targets)
            allowed.insert(realTarget(t));
        for (qsizetype i = 0; i + 2 < lines.size(); ++i) {
            const QList<QByteArray> pair = lines.at(i).split('\t');
            if (pair.size() != 2)
                continue;
            const QByteArray newFile = QByteArray::fromPercentEncoding(pair.at(0));
            const QByteArray target = QByteArray::fromPercentEncoding(pair.at(1));
            struct stat st{};
            if (!allowed.contains(target) || !isNewFileOf(newFile, target) || ::lstat(newFile.constData(), &st) != 0
                || !S_ISREG(st.st_mode))
                continue;
            if (::rename(newFile.constData(), target.constData()) != 0)
                fail(QFile::decodeName(target), "cannot be put in place", errno);
            syncFolderOf(target);
        }
    }
    QFile::remove(journal);
    return complete;
}

void FileWriter::setRenameHook(void (*hook)(int))
{
    g_renameHook = hook;
}
