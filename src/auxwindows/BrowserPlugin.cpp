// The browser plugin: the browser window and, through it, the web engine,
// loaded by the main window the first time a help page or the browser opens.
#include "auxwindows/BrowserWindow.h"
#include "auxwindows/frm_browser.h"

#include <QObject>

class BrowserPlugin : public QObject, public BrowserFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID BrowserFactory_iid)
    Q_INTERFACES(BrowserFactory)
public:
    BrowserWindow *createBrowser(const QString &programFolder, const QString &ownFolder, const QUrl &start) override
    {
        return new Tfrm_browser(programFolder, ownFolder, start);
    }
};

#include "BrowserPlugin.moc"
