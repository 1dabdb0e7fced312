// vrel-icons FOLDER: writes the game's icon, as the art code draws it for the window, into
// FOLDER/NxN/apps/vrel.png for every size of the hicolor theme that an installed copy carries.

#include "resources/art/art.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrel-icons FOLDER\n");
        return 2;
    }
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QIcon icon = art::appIcon();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : {48, 64, 128, 256}) {
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        const QPixmap picture = icon.pixmap(QSize(size, size));
        if (picture.size() != QSize(size, size) || !folder.mkpath(apps)
            || !picture.save(folder.filePath(apps + QStringLiteral("/vrel.png")), "PNG")) {
            std::fprintf(stderr, "vrel-icons: cannot write the %dx%d icon into %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
