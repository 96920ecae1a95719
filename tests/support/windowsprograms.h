#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Windows only: Windows' own programs (regsvr32, cscript) run by a test as
// a user runs them, on the display, in the width of the test itself: a
// 32-bit test starts the 32-bit ones of syswow64, as a 32-bit host would.
namespace testsupport {

struct WindowsProgramRun {
    int exitCode = -1;    // -1 when it crashed or had to be killed
    QStringList lines;    // what it printed, one entry a line
    bool ownWidth = false; // it ran in this process's width
};

// Runs a program to its end while this process's events (its test server)
// go on; meanwhile() is called every few milliseconds.
WindowsProgramRun runWindowsProgram(const QString &program, const QStringList &arguments,
                                    const std::function<void()> &meanwhile = [] {});

// regsvr32 /s with the arguments; its exit status.
int regsvr32(const QStringList &arguments);

// A file of the build's program folder, as Windows writes its path.
QString builtFile(const QString &name);

} // namespace testsupport
