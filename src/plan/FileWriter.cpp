#include "FileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <dirent.h>
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
// did, and the file it points to gets the new content (a link to a file that
// does not exist yet makes it). The folder is canonical, so every spelling of
// a path names one file.
QString resolvedPath(const QString &path)
{
    QString file = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(file);
        if (!info.isSymLink())
            break;
        file = info.symLinkTarget();
    }
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return info.absoluteFilePath();
    return folder == QLatin1String("/") ? folder + info.fileName() : folder + u'/' + info.fileName();
}

QByteArray realTarget(const QString &path)
{
    return QFile::encodeName(resolvedPath(path));
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
int writeBeside(const QByteArray &real, const QByteArray &bytes, int mode, QByteArray &newFile, const char **what)
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

int (*g_stepHook)(int) = nullptr;

bool isTempOf(const QByteArray &file, const QByteArray &target, const char *kind)
{
    if (file.size() != target.size() + 10 || !file.startsWith(target + kind))
        return false;
    for (qsizetype i = target.size() + 4; i < file.size(); ++i) {
        const char c = file.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool isNewFileOf(const QByteArray &file, const QByteArray &target)
{
    return isTempOf(file, target, ".new");
}

bool isBackupOf(const QByteArray &file, const QByteArray &target)
{
    return isTempOf(file, target, ".old");
}

QByteArray folderOf(const QByteArray &file)
{
    const qsizetype slash = file.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
}

void syncFolderOf(const QByteArray &file)
{
    const int fd = ::open(folderOf(file).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool present(const QByteArray &file)
{
    struct stat st
    {
    };
    return ::lstat(file.constData(), &st) == 0;
}

bool regularFile(const QByteArray &file)
{
    struct stat st
    {
    };
    return ::lstat(file.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A name for the old file while the new one takes its place; unused so far.
QByteArray backupName(const QByteArray &real)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name;
    do {
        name = real + ".old";
        for (int i = 0; i < 6; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    } while (present(name));
    return name;
}

// Keeps the old file under `backup`: a second link to it where the file
// system has links (the target never goes missing), a rename where not.
int keepOld(const QByteArray &real, const QByteArray &backup)
{
    if (::link(real.constData(), backup.constData()) == 0)
        return 0;
    const int error = errno;
    if (error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOSYS && error != EXDEV)
        return error;
    return ::rename(real.constData(), backup.constData()) == 0 ? 0 : errno;
}

// Puts the old file kept under `backup` back over `real`; 0 or an errno.
int putBack(const QByteArray &backup, const QByteArray &real)
{
    if (::rename(backup.constData(), real.constData()) != 0)
        return errno;
    // Both names were links to one file (the new file never got in): rename
    // then leaves both, and the backup name goes.
    if (present(backup) && ::unlink(backup.constData()) != 0)
        return errno;
    return 0;
}

int step(int &counter)
{
    const int n = counter++;
    return g_stepHook ? g_stepHook(n) : 0;
}

struct JournalEntry
{
    QByteArray newFile;
    QByteArray target;
    QByteArray backup; // empty in a journal of the earlier kind
    bool existed = true;
};

// The entries of a whole journal; false when it is cut short or unreadable.
bool readJournal(const QString &journal, std::vector<JournalEntry> &entries)
{
    constexpr qint64 kMaxJournal = 1 << 20;
    QFile file(journal);
    QByteArray text;
    if (QFileInfo(journal).isFile() && file.size() <= kMaxJournal && file.open(QIODevice::ReadOnly))
        text = file.read(kMaxJournal + 1);
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2 || lines.at(lines.size() - 2) != "end" || !lines.last().isEmpty())
        return false;
    for (qsizetype i = 0; i + 2 < lines.size(); ++i) {
        const QList<QByteArray> cells = lines.at(i).split('\t');
        if (cells.size() != 2 && cells.size() != 4)
            return false;
        JournalEntry entry;
        // Named as the writer saw them; compared by their real paths.
        entry.newFile = realTarget(QFile::decodeName(QByteArray::fromPercentEncoding(cells.at(0))));
        entry.target = realTarget(QFile::decodeName(QByteArray::fromPercentEncoding(cells.at(1))));
        if (cells.size() == 4) {
            entry.backup = QByteArray::fromPercentEncoding(cells.at(2));
            entry.existed = cells.at(3) == "1";
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace

FileWriter::~FileWriter()
{
    discard();
}

void FileWriter::add(const QString &path, const QByteArray &bytes)
{
    Staged staged{path, realTarget(path), {}, {}};
    struct stat old
    {
    };
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

void FileWriter::writeJournal()
{
    QByteArray text;
    for (Staged &s : m_staged) {
        s.existed = present(s.real);
        s.backup = backupName(s.real);
        text += s.newFile.toPercentEncoding("/") + '\t' + s.real.toPercentEncoding("/") + '\t'
            + s.backup.toPercentEncoding("/") + '\t' + (s.existed ? '1' : '0') + '\n';
    }
    text += "end\n";
    const QByteArray journal = realTarget(m_journal);
    QByteArray newFile;
    const char *what = nullptr;
    int error = writeBeside(journal, text, -1, newFile, &what);
    if (error == 0)
        error = step(m_step);
    if (error == 0 && ::rename(newFile.constData(), journal.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(newFile.constData());
        fail(m_journal, "cannot be written", error);
    }
    syncFolderOf(journal);
}

void FileWriter::commit()
{
    m_step = 0;
    if (m_journal.isEmpty() || m_staged.size() < 2) {
        // One file: its rename is the whole change.
        for (size_t i = 0; i < m_staged.size(); ++i) {
            Staged &s = m_staged[i];
            int error = step(m_step);
            if (error == 0 && ::rename(s.newFile.constData(), s.real.constData()) != 0)
                error = errno;
            if (error != 0) {
                const QString target = s.target;
                m_staged.erase(m_staged.begin(), m_staged.begin() + static_cast<std::ptrdiff_t>(i));
                discard();
                fail(target, "cannot be written", error);
            }
            syncFolderOf(s.real);
        }
        m_staged.clear();
        return;
    }
    try {
        writeJournal();
    } catch (const FileWriteError &) {
        discard();
        throw;
    }
    commitAll();
}

void FileWriter::commitAll()
{
    for (Staged &s : m_staged) {
        int error = 0;
        if (s.existed) {
            error = step(m_step);
            if (error == 0)
                error = keepOld(s.real, s.backup);
            s.backedUp = error == 0;
        }
        if (error == 0)
            error = step(m_step);
        if (error == 0 && ::rename(s.newFile.constData(), s.real.constData()) != 0)
            error = errno;
        if (error != 0) {
            const QString target = s.target;
            const QString why = reason(error);
            if (!rollBack())
                throw FileWriteError(target,
                                     QStringLiteral("\"%1\" cannot be written: %2; the old files are kept "
                                                    "and are put back when the plan is next opened")
                                         .arg(target, why),
                                     why);
            fail(target, "cannot be written", error);
        }
        s.replaced = true;
    }
    // The renames reach the disk with their folders before the journal goes.
    QSet<QByteArray> folders;
    for (const Staged &s : m_staged) {
        const QByteArray folder = folderOf(s.real);
        if (!folders.contains(folder)) {
            folders.insert(folder);
            syncFolderOf(s.real);
        }
    }
    const QByteArray journal = realTarget(m_journal);
    const int error = step(m_step);
    if (error != 0 || ::unlink(journal.constData()) != 0) {
        const int why = error != 0 ? error : errno;
        if (!rollBack())
            throw FileWriteError(m_journal, QStringLiteral("\"%1\" cannot be removed: %2").arg(m_journal, reason(why)),
                                 reason(why));
        fail(m_journal, "cannot be removed", why);
    }
    syncFolderOf(journal);
    // Saved. The old files are no longer needed.
    step(m_step);
    for (const Staged &s : m_staged)
        if (s.backedUp)
            ::unlink(s.backup.constData());
    m_staged.clear();
}

bool FileWriter::rollBack()
{
    bool whole = true;
    for (auto it = m_staged.rbegin(); it != m_staged.rend(); ++it) {
        Staged &s = *it;
        if (s.backedUp) {
            if (putBack(s.backup, s.real) != 0)
                whole = false;
        } else if (s.replaced && !s.existed && ::unlink(s.real.constData()) != 0) {
            whole = false;
        }
        if (!s.replaced)
            ::unlink(s.newFile.constData());
    }
    m_staged.clear();
    if (whole) {
        const QByteArray journal = realTarget(m_journal);
        ::unlink(journal.constData());
        syncFolderOf(journal);
    }
    return whole;
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

QString FileWriter::realPath(const QString &path)
{
    return resolvedPath(path);
}

bool FileWriter::recover(const QString &journal, const QStringList &targets)
{
    const QByteArray journalName = realTarget(journal);
    if (!present(journalName))
        return false;
    std::vector<JournalEntry> entries;
    if (!readJournal(QFile::decodeName(journalName), entries)) {
        // Cut short: its commit never began, as the journal is put in place
        // whole before the first rename.
        if (::unlink(journalName.constData()) != 0)
            fail(journal, "cannot be removed", errno);
        return false;
    }
    // Only files of these targets, named as a writer names them, are touched.
    QSet<QByteArray> allowed;
    for (const QString &t : targets)
        allowed.insert(realTarget(t));
    std::erase_if(entries, [&](const JournalEntry &e) {
        return !allowed.contains(e.target) || !isNewFileOf(e.newFile, e.target)
            || (!e.backup.isEmpty() && !isBackupOf(e.backup, e.target));
    });
    const bool oldKind = !entries.empty() && entries.front().backup.isEmpty();
    if (oldKind) {
        // Finish it: each new file still there goes in place.
        for (const JournalEntry &e : entries) {
            if (regularFile(e.newFile) && ::rename(e.newFile.constData(), e.target.constData()) != 0)
                fail(QFile::decodeName(e.target), "cannot be put in place", errno);
        }
    } else {
        // Undo it: first every old file back (or a file that was new away),
        // then the new files, so that a second try after a crash here finds
        // what it needs.
        for (const JournalEntry &e : entries) {
            if (e.existed && regularFile(e.backup)) {
                if (const int error = putBack(e.backup, e.target))
                    fail(QFile::decodeName(e.target), "cannot be put back", error);
            } else if (!e.existed && !present(e.newFile) && present(e.target)) {
                if (::unlink(e.target.constData()) != 0)
                    fail(QFile::decodeName(e.target), "cannot be removed", errno);
            }
        }
        for (const JournalEntry &e : entries)
            ::unlink(e.newFile.constData());
    }
    for (const JournalEntry &e : entries)
        syncFolderOf(e.target);
    if (::unlink(journalName.constData()) != 0)
        fail(journal, "cannot be removed", errno);
    syncFolderOf(journalName);
    return true;
}

int FileWriter::removeLeftovers(const QStringList &targets, const QString &journal)
{
    // Names to look for, by folder.
    QHash<QByteArray, QList<QByteArray>> byFolder;
    QStringList all = targets;
    all << journal;
    for (const QString &t : std::as_const(all)) {
        const QByteArray real = realTarget(t);
        byFolder[folderOf(real)] << real;
    }
    int removed = 0;
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        DIR *dir = ::opendir(it.key().constData());
        if (!dir)
            continue;
        const QByteArray prefix = it.key() == "/" ? it.key() : it.key() + '/';
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray file = prefix + entry->d_name;
            for (const QByteArray &target : it.value()) {
                if ((isNewFileOf(file, target) || isBackupOf(file, target)) && regularFile(file)
                    && ::unlink(file.constData()) == 0) {
                    ++removed;
                    break;
                }
            }
        }
        ::closedir(dir);
    }
    return removed;
}

void FileWriter::setStepHook(int (*hook)(int))
{
    g_stepHook = hook;
}
