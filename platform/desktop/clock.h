#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace platform {

// Wall-clock and monotonic time. Tests install their own clock.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time now.
    virtual QDateTime now() const;
    // Milliseconds on a monotonic clock; only differences mean anything.
    virtual qint64 monotonicMs() const;

    static Clock &current();
    // Replaces the clock in force; nullptr restores the system clock. The
    // caller keeps ownership.
    static void install(Clock *clock);
};

// The date in the locale's short date format, a blank and the time as
// "HH:NN:SS" with hours 00 to 23: the stamp that starts a log line. The
// default locale is the user's unless the program sets another.
QString logTimestamp(const QDateTime &when, const QLocale &locale = QLocale());

} // namespace platform
