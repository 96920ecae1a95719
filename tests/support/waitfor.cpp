#include "waitfor.h"

#include "platform/eventpump.h"

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

} // namespace testsupport
