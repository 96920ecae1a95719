#include "platform/desktop/clock.h"

#include <QElapsedTimer>

namespace platform {

namespace {
Clock *g_installed = nullptr;
}

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 Clock::monotonicMs() const
{
    static QElapsedTimer origin = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return origin.elapsed();
}

Clock &Clock::current()
{
    static Clock system;
    return g_installed ? *g_installed : system;
}

void Clock::install(Clock *clock)
{
    g_installed = clock;
}

QString logTimestamp(const QDateTime &when, const QLocale &locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + when.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace platform
