#include "platform/desktop/eventpump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace platform {

// Both waits send the posted events before they block: Windows' dispatcher
// sends them first thing in processEvents() and then waits for a window
// message, so whatever they change (a precise timer's expiry, a call queued
// from another thread) would otherwise wait for an unrelated message.

void DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void waitUntil(const std::function<bool()> &done)
{
    for (;;) {
        QCoreApplication::sendPostedEvents();
        if (done())
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void waitSeconds(double seconds)
{
    const qint64 limitMs = qint64(seconds * 1000);
    QElapsedTimer elapsed;
    elapsed.start();
    // A timer just past the limit guarantees an event that ends the wait.
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    while (elapsed.elapsed() <= limitMs) {
        QCoreApplication::sendPostedEvents();
        if (!wake.isActive())
            wake.start(int(limitMs - elapsed.elapsed() + 1));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace platform
