// Shows the item editor on a real display and waits, so a screen reader's
// view of it can be read over AT-SPI (check_atspi.py). Prints "ready" once
// the editor is on screen; ends when its standard input closes.
#include "editors/frm_items.h"
#include "plan/Plan.h"
#include "planwindow/frm_budget.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pursekeep-item-editor"));
    MessageBox::setTestMode(true);
    Tfrm_budget window(nullptr);
    window.plan().categories().appendRow({QStringLiteral("Work"), QStringLiteral("I")});
    window.plan().categories().setFilter(kindFilter(Kind::Income));
    window.plan().categories().setFiltered(true);
    Tfrm_items editor(&window, QStringLiteral("income"), QStringLiteral("new"), QStringLiteral("I"));
    editor.show();
    QTimer::singleShot(500, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}
