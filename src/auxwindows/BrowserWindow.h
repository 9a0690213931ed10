#pragma once
#include <QtPlugin>

#include <functional>

class QMenu;
class QObject;
class QString;
class QUrl;
class QWidget;

// The browser window as the main window sees it. The browser and the web
// engine under it live in a plugin loaded the first time a help page or the
// browser is opened (BrowserLoader), so a program that never shows them never
// maps the engine.
class BrowserWindow
{
public:
    virtual ~BrowserWindow() = default;

    // The window shown in the document area; it deletes itself when closed.
    virtual QWidget *browserWidget() = 0;
    // "File" with "Close Kavo Browser", shown by the main window in place of
    // its own menus while the browser is the active document window.
    virtual QMenu *fileMenu() const = 0;
    // Each time it becomes the active window.
    virtual void activate() = 0;
    // `handler` runs when the window closes, while `context` lives.
    virtual void whenClosed(QObject *context, std::function<void()> handler) = 0;
};

// Makes browser windows: the plugin's one object, or code linked in.
class BrowserFactory
{
public:
    virtual ~BrowserFactory() = default;
    // Opens `start`, or the home page when it is empty. The help pages are in
    // `programFolder`; the typed addresses are kept in `ownFolder`.
    virtual BrowserWindow *createBrowser(const QString &programFolder, const QString &ownFolder, const QUrl &start) = 0;
};

#define BrowserFactory_iid "io.github.kavo.pursekeep.BrowserFactory/1"
Q_DECLARE_INTERFACE(BrowserFactory, BrowserFactory_iid)
