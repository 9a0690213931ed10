#include "app/ProgramArguments.h"
#include "app/frm_main.h"
#include "auxwindows/frm_splashscreen.h"

#include <QApplication>
#include <csignal>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // --help, --version and a mistaken option need no screen: they are
    // answered before the application connects to one.
    if (const std::optional<int> status = ProgramArguments::answerWithoutScreen(argc, argv))
        return *status;
    // Past a file-size limit a save fails with its reason ("File too large")
    // and the plan stays open, instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // The web view's sandbox refuses to start for the root user (a container
    // or a kiosk); without this the browser window would end the program.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The web engine wants a shared OpenGL context, which maps the whole
    // OpenGL driver (with Mesa, some 50 MB of LLVM and the software
    // rasteriser) into the program. Nothing else here draws with OpenGL, and
    // the help pages render as well in software: on X11 the program goes
    // without OpenGL, unless the person chose a GL integration or a Qt Quick
    // backend.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION") && qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
        qputenv("QT_QUICK_BACKEND", "software");
    }
    // The browser plugin brings the web engine in only when the browser
    // first opens; the engine asks for contexts shared from the start.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Every window says it is the program of kavo-pursekeep.desktop (the
    // Wayland application id), so docks and task bars show that entry's
    // name and icon; on X11 the entry's StartupWMClass matches the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("kavo-pursekeep"));
    QStringList plans;
    if (!ProgramArguments::plans(QApplication::arguments(), plans))
        return 2;
    Tfrm_splashscreen::run();
    QApplication::setApplicationName(QStringLiteral("Kavo Pursekeep V3"));
    Tfrm_main window;
    window.setPlansToOpen(plans);
    window.showMaximized();
    return app.exec();
}
