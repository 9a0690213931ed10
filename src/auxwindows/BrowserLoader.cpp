#include "auxwindows/BrowserLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QStringList>

namespace {

BrowserFactory *s_factory = nullptr;

BrowserFactory *loadPlugin(QString &error)
{
    QStringList tried;
    for (const QString &file : BrowserLoader::pluginFiles()) {
        if (!QFileInfo::exists(file)) {
            tried << file;
            continue;
        }
        // Never unloaded: its windows and the web engine live as long as the program.
        QPluginLoader loader(file);
        QObject *instance = loader.instance();
        if (auto *factory = qobject_cast<BrowserFactory *>(instance))
            return factory;
        error = instance ? QStringLiteral("%1 is not the browser plugin").arg(file) : loader.errorString();
        return nullptr;
    }
    error = QStringLiteral("the browser plugin was not found (looked for %1)").arg(tried.join(QStringLiteral(", ")));
    return nullptr;
}

} // namespace

QStringList BrowserLoader::pluginFiles()
{
    const QDir program(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral(PURSEKEEP_BROWSER_PLUGIN);
    return {program.filePath(name),
            QDir::cleanPath(program.filePath(QStringLiteral(PURSEKEEP_PLUGIN_FOLDER "/") + name))};
}

void BrowserLoader::setFactory(BrowserFactory *factory)
{
    s_factory = factory;
}

BrowserWindow *BrowserLoader::create(const QString &programFolder, const QString &ownFolder, const QUrl &start,
                                     QString &error)
{
    if (!s_factory)
        s_factory = loadPlugin(error);
    return s_factory ? s_factory->createBrowser(programFolder, ownFolder, start) : nullptr;
}
