#include "plan/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace ProgramFolders {

namespace {
const QString kFolderName = QStringLiteral("kavo-pursekeep");
}

QString userDataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base = QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + u'/' + kFolderName);
}

QString resourceFolder(const QString &executableFolder)
{
    const QDir dir(executableFolder);
    if (QFileInfo(dir.filePath(QStringLiteral("help"))).isDir())
        return QDir::cleanPath(executableFolder);
    const QString shared = QDir::cleanPath(dir.filePath(QStringLiteral("../share/") + kFolderName));
    if (QFileInfo(shared).isDir())
        return shared;
    return QDir::cleanPath(executableFolder);
}

QString writableFolder(const QString &executableFolder)
{
    // An installed program (its files in the share folder) never writes
    // beside itself, even when it could (run by the superuser). access() also
    // tells a read-only file system, which permission bits alone do not.
    const QString own = QDir::cleanPath(executableFolder);
    if (resourceFolder(executableFolder) == own && ::access(QFile::encodeName(own).constData(), W_OK) == 0)
        return own;
    const QString user = userDataFolder();
    QDir().mkpath(user);
    return user;
}

QString recentPlansFile()
{
    return userDataFolder() + QStringLiteral("/recentplans.txt");
}

QString backupsFolder()
{
    return userDataFolder() + QStringLiteral("/backups");
}

QString recoveryFolder()
{
    return userDataFolder() + QStringLiteral("/recovery");
}

} // namespace ProgramFolders
