// screengrab: writes the picture of one window, by its id (an X window, or
// on Windows a window handle or a window's title), as a PNG. The demos use
// it to show the updater's window during a download.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The window the argument names; 0 for none.
WId windowNamed(const char *name)
{
    bool ok = false;
    const WId window = QByteArray(name).toULongLong(&ok, 0);
    if (ok)
        return window;
#ifdef _WIN32
    return reinterpret_cast<WId>(FindWindowW(nullptr, QString::fromLocal8Bit(name).toStdWString().c_str()));
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: screengrab WINDOW FILE.png\n");
        return 2;
    }
    const WId window = windowNamed(argv[1]);
    if (!window || !QGuiApplication::primaryScreen()) {
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
