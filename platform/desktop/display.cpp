#include "platform/desktop/display.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

const char *g_program = "";
int g_exitStatus = 1;

[[noreturn]] void endWithoutDisplay(const QString &reason)
{
    std::fprintf(stderr, "%s: can't open a window: %s\n", g_program, qPrintable(reason));
    std::fflush(nullptr);
    std::_Exit(g_exitStatus);
}

// While the application starts: the window system's own complaints are
// replaced by one line, and its abort by the program's status.
void startupMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool fromWindowSystem = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg)
        endWithoutDisplay(QStringLiteral("no display could be reached (DISPLAY=%1)")
                              .arg(QString::fromLocal8Bit(qgetenv("DISPLAY"))));
    if (!fromWindowSystem)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

std::optional<QString> noDisplayReason(const QByteArray &qpaPlatform, const QByteArray &display,
                                       const QByteArray &waylandDisplay)
{
#ifdef _WIN32
    Q_UNUSED(qpaPlatform);
    Q_UNUSED(display);
    Q_UNUSED(waylandDisplay);
    return std::nullopt;
#else
    if (!qpaPlatform.isEmpty() || !display.isEmpty() || !waylandDisplay.isEmpty())
        return std::nullopt;
    return QStringLiteral("no display (set DISPLAY, or QT_QPA_PLATFORM=offscreen to run without one)");
#endif
}

std::unique_ptr<QApplication> openApplication(int &argc, char **argv, const char *program, int exitStatus)
{
    g_program = program;
    g_exitStatus = exitStatus;
    if (const std::optional<QString> reason =
            noDisplayReason(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")))
        endWithoutDisplay(*reason);
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    return app;
}

} // namespace platform
