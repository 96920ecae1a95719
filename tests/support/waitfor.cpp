#include "waitfor.h"

#include "platform/eventpump.h"

#include <QElapsedTimer>
#include <QTimer>

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

} // namespace testsupport
