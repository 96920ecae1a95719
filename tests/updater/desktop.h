#pragma once

#include <QProcess>
#include <QString>

// A real X display of its own (Xvfb) on which a test runs a program and
// acts as its user would, through xdotool: finding windows, clicking,
// pressing keys.
class Desktop {
public:
    // Whether Xvfb and xdotool are installed.
    static bool available();

    Desktop();
    ~Desktop();

    bool started() const { return !m_display.isEmpty(); }
    // The DISPLAY value for programs to run on this desktop.
    QString display() const { return m_display; }

    // The first window whose title matches the pattern, waiting for it
    // while events go on being dispatched; empty when none came in time.
    QString waitForWindow(const QString &titlePattern, int timeoutMs = 15000);
    // A left click at x, y inside the window.
    void click(const QString &window, int x, int y);
    // Focuses the window and presses Return (a message box's default button).
    void pressReturn(const QString &window);
    // Asks the window to close, as a window manager does when the user
    // clicks its close button (WM_DELETE_WINDOW).
    void close(const QString &window);

private:
    QString xdotool(const QStringList &args, int timeoutMs = 15000);

    QProcess m_server;
    QString m_display;
};
