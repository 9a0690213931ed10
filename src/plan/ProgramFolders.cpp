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
    // access() also tells a read-only file system, which permission bits
    // alone do not (and which bind the superuser too).
    if (::access(QFile::encodeName(executableFolder).constData(), W_OK) == 0)
        return QDir::cleanPath(executableFolder);
    const QString user = userDataFolder();
    QDir().mkpath(user);
    return user;
}

QString recentPlansFile()
{
    return userDataFolder() + QStringLiteral("/recentplans.txt");
}

} // namespace ProgramFolders
