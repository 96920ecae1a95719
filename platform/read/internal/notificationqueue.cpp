#include "platform/read/internal/notificationqueue.h"

#include <QScopedValueRollback>

namespace platform {

NotificationQueue::NotificationQueue(Deliver deliver, QObject *parent)
    : QObject(parent)
    , m_deliver(std::move(deliver))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &NotificationQueue::deliver);
}

void NotificationQueue::post(const AsyncProperty &notification, bool completion)
{
    const bool data = notification.StatusCode == AsyncStatusCodeDownloadingData && !completion;
    if (data && !m_queue.isEmpty() && !m_queue.last().completion
        && m_queue.last().notification.StatusCode == AsyncStatusCodeDownloadingData) {
        m_queue.last().notification = notification;
        return;
    }
    m_queue.append({notification, completion});
    schedule();
}

void NotificationQueue::clear()
{
    m_queue.clear();
    m_timer.stop();
    // Nothing of the listener's read is left to keep in order: a read it
    // starts now goes out at once, even while the listener still runs.
    m_delivering = false;
}

bool NotificationQueue::holdsBackData() const
{
    // Only a lone data notification waits: anything behind it goes in order.
    return m_queue.size() == 1 && m_queue.first().notification.StatusCode == AsyncStatusCodeDownloadingData
        && m_sinceData.isValid() && m_sinceData.elapsed() < DataIntervalMs;
}

void NotificationQueue::schedule()
{
    if (m_delivering)
        return;
    m_timer.start(holdsBackData() ? int(DataIntervalMs - m_sinceData.elapsed()) : 0);
}

void NotificationQueue::deliver()
{
    // A listener that dispatches events may let the read go on inside a
    // notification; what that produces waits its turn here.
    if (m_delivering)
        return;
    while (!m_queue.isEmpty()) {
        if (holdsBackData()) {
            m_timer.start(int(DataIntervalMs - m_sinceData.elapsed()));
            return;
        }
        const Entry next = m_queue.takeFirst();
        if (next.notification.StatusCode == AsyncStatusCodeDownloadingData && !next.completion)
            m_sinceData.start();
        // A completion is its read's last word: whatever its listener starts
        // is another read, which needn't wait for the listener to return.
        const QScopedValueRollback<bool> delivering(m_delivering, !next.completion);
        m_deliver(next.notification, next.completion);
    }
}

} // namespace platform
