// Draws the program's purse picture as the PNG icons of the desktop's icon
// theme: render_icon FOLDER SIZE... writes FOLDER/SIZExSIZE/kavo-pursekeep.png.
#include "auxwindows/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: render_icon FOLDER SIZE...\n";
        return 2;
    }
    const QDir folder(args.first());
    for (const QString &text : args.mid(1)) {
        const int size = text.toInt();
        const QString sub = QStringLiteral("%1x%1").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Pictures::purse(painter, QRectF(0, 0, size, size));
        painter.end();
        if (size <= 0 || !folder.mkpath(sub) || !image.save(folder.filePath(sub + QStringLiteral("/kavo-pursekeep.png")))) {
            QTextStream(stderr) << "render_icon: cannot write the " << sub << " icon\n";
            return 1;
        }
    }
    return 0;
}
