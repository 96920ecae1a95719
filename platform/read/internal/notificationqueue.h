#pragma once

#include "platform/read/asyncproperty.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

// Delivers a read's notifications in the order they were made, always from
// the event loop: never from inside the code that posts them, and never
// re-entrantly while a listener of an earlier one of the same read
// dispatches events (a read that has completed or been cleared away holds
// back nothing). Further data (code 5) go out at most once per interval,
// with the latest figures, so a fast transfer doesn't flood its listeners.
class NotificationQueue : public QObject {
    Q_OBJECT

public:
    using Deliver = std::function<void(const AsyncProperty &notification, bool completion)>;
    static constexpr int DataIntervalMs = 50;

    explicit NotificationQueue(Deliver deliver, QObject *parent = nullptr);

    void post(const AsyncProperty &notification, bool completion);
    // Drops everything not yet delivered: the read is over.
    void clear();
    bool isEmpty() const { return m_queue.isEmpty(); }

private:
    struct Entry {
        AsyncProperty notification;
        bool completion;
    };

    void schedule();
    void deliver();
    bool holdsBackData() const;

    Deliver m_deliver;
    QList<Entry> m_queue;
    QTimer m_timer;
    QElapsedTimer m_sinceData;
    bool m_delivering = false;
};

} // namespace platform
