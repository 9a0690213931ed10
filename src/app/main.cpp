#include "app/frm_main.h"
#include "auxwindows/frm_splashscreen.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // The web view's sandbox refuses to start for the root user (a container
    // or a kiosk); without this the browser window would end the program.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    Tfrm_splashscreen::run();
    QApplication::setApplicationName(QStringLiteral("Kavo Pursekeep V3"));
    Tfrm_main window;
    window.setPlansToOpen(QApplication::arguments().mid(1));
    window.showMaximized();
    return app.exec();
}
