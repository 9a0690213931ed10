#pragma once
#include "auxwindows/BrowserWindow.h"

#include <QString>

// Finds the browser plugin and makes browser windows with it. The plugin is
// loaded once, the first time a window is asked for, and stays loaded.
namespace BrowserLoader {

// A new browser window, or nullptr with the reason in `error` when the plugin
// cannot be found or loaded.
BrowserWindow *create(const QString &programFolder, const QString &ownFolder, const QUrl &start, QString &error);

// Where the plugin is looked for, in order: beside the program (a build
// tree), then in the program's library folder of an installed program.
QStringList pluginFiles();

// Makes windows with `factory` instead of the plugin (tests that link the
// browser in); nullptr goes back to the plugin.
void setFactory(BrowserFactory *factory);

} // namespace BrowserLoader
