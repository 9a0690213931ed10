#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName("frm_main");
    window.setWindowTitle("Kavo Pursekeep");
    window.showMaximized();
    return app.exec();
}
