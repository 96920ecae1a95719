#include "platform/desktop/eventpump.h"

#include <QElapsedTimer>
#include <QTimer>
#include <ctime>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The processor time this process has used, in seconds (std::clock counts
// wall time on Windows).
double processorSeconds()
{
#ifdef _WIN32
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME t) { return double(quint64(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
#else
    return double(std::clock()) / CLOCKS_PER_SEC;
#endif
}

} // namespace

TEST(EventPump, WaitUntilDispatchesEventsUntilTheConditionHolds)
{
    bool done = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 3)
            done = true;
    });
    timer.start(5);
    platform::waitUntil([&] { return done; });
    EXPECT_EQ(ticks, 3);
}

TEST(EventPump, WaitSecondsBlocksInsteadOfSpinning)
{
    bool fired = false;
    QTimer::singleShot(50, [&] { fired = true; });
    QElapsedTimer wall;
    wall.start();
    const double cpu = processorSeconds();
    platform::waitSeconds(0.4);
    const double cpuSeconds = processorSeconds() - cpu;
    EXPECT_GT(wall.elapsed(), 400);
    EXPECT_TRUE(fired) << "events are dispatched during the wait";
    EXPECT_LT(cpuSeconds, 0.2) << "a spinning wait would use the whole 0.4 s";
}
