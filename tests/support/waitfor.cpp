#include "waitfor.h"

#include "platform/desktop/eventpump.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

namespace testsupport {

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    bool expired = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&expired] { expired = true; });
    guard.start(timeoutMs);
    platform::waitUntil([&] { return expired || done(); });
    return done();
}

void pause(int ms)
{
    waitFor([] { return false; }, ms);
}

bool poll(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        pause(20);
    }
    return true;
}

int exitStatusOf(QProcess &program, int timeoutMs)
{
    waitFor([&] { return program.state() == QProcess::NotRunning; }, timeoutMs);
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << qPrintable(program.program()) << " did not end";
        return -1;
    }
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

} // namespace testsupport
