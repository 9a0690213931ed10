#pragma once
// The browser window linked into a test instead of loaded from its plugin, so
// the test can reach the window's own controls.
#include "app/frm_main.h"
#include "auxwindows/BrowserLoader.h"
#include "auxwindows/frm_browser.h"

namespace LinkedBrowser {

class Factory : public BrowserFactory
{
public:
    BrowserWindow *createBrowser(const QString &programFolder, const QString &ownFolder, const QUrl &start) override
    {
        return new Tfrm_browser(programFolder, ownFolder, start);
    }
};

inline void use()
{
    static Factory factory;
    BrowserLoader::setFactory(&factory);
}

// The main window's open browser, or nullptr.
inline Tfrm_browser *of(const Tfrm_main *main)
{
    return main->browser() ? dynamic_cast<Tfrm_browser *>(main->browser()) : nullptr;
}

} // namespace LinkedBrowser
