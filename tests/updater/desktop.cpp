#include "desktop.h"

#include "tests/support/waitfor.h"

#include <QStandardPaths>

#include <X11/Xlib.h>

bool Desktop::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

Desktop::Desktop()
{
    // Xvfb picks a free display number and writes it to standard output.
    m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                            QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp")});
    testsupport::waitFor([this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }, 10000);
    const QByteArray number = m_server.readLine().trimmed();
    if (!number.isEmpty())
        m_display = QStringLiteral(":") + QString::fromLatin1(number);
}

Desktop::~Desktop()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
}

QString Desktop::xdotool(const QStringList &args, int timeoutMs)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), args);
    // Keep dispatching: the test's own server must go on answering meanwhile.
    testsupport::waitFor([&] { return tool.state() == QProcess::NotRunning; }, timeoutMs);
    if (tool.state() != QProcess::NotRunning) {
        tool.kill();
        tool.waitForFinished();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString Desktop::waitForWindow(const QString &titlePattern, int timeoutMs)
{
    // Polled here rather than with xdotool's --sync, which looks only every
    // half second: a test must be able to act within the updater's first second.
    QString window;
    testsupport::poll(
        [&] {
            window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                              titlePattern})
                         .section(QLatin1Char('\n'), 0, 0);
            return !window.isEmpty();
        },
        timeoutMs);
    // A window just mapped may not take input yet; give it a moment.
    if (!window.isEmpty())
        testsupport::pause(200);
    return window;
}

void Desktop::click(const QString &window, int x, int y)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x), QString::number(y),
             QStringLiteral("click"), QStringLiteral("1")});
}

void Desktop::pressReturn(const QString &window)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
}

void Desktop::close(const QString &window)
{
    Display *display = XOpenDisplay(m_display.toLocal8Bit().constData());
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window.toULong());
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}
