#include "platform/desktop/clock.h"

#include <gtest/gtest.h>

TEST(Clock, LogStampFollowsTheLocaleShortDateAndA24HourTime)
{
    const QDateTime when(QDate(2026, 12, 6), QTime(14, 5, 9));
    EXPECT_EQ(platform::logTimestamp(when, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              QString("06/12/2026 14:05:09"));
    EXPECT_EQ(platform::logTimestamp(when, QLocale(QLocale::English, QLocale::UnitedStates)),
              QString("12/6/26 14:05:09"));
    const QDateTime morning(QDate(2026, 1, 2), QTime(3, 4, 5));
    EXPECT_EQ(platform::logTimestamp(morning, QLocale(QLocale::German, QLocale::Germany)), QString("02.01.26 03:04:05"));
}
