#include "app/frm_main.h"
#include "auxwindows/frm_splashscreen.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Tfrm_splashscreen::run();
    QApplication::setApplicationName(QStringLiteral("Kavo Pursekeep V3"));
    Tfrm_main window;
    window.showMaximized();
    return app.exec();
}
