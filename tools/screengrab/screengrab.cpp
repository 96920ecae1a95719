// screengrab: writes the picture of one X window, by its id, as a PNG.
// The demo uses it to show the updater's window during a download.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: screengrab WINDOW-ID FILE.png\n");
        return 2;
    }
    bool ok = false;
    const WId window = QByteArray(argv[1]).toULongLong(&ok, 0);
    if (!ok || !QGuiApplication::primaryScreen()) {
        std::fprintf(stderr, "screengrab: no such window or no screen\n");
        return 2;
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "screengrab: can't grab window %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
