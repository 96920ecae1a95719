#include "update/engine/transferfigures.h"

#include <gtest/gtest.h>
#include <limits>

TEST(TransferFigures, MinSecAndStatusNames)
{
    EXPECT_EQ(MinSec(0), "0:00");
    EXPECT_EQ(MinSec(9), "0:09");
    EXPECT_EQ(MinSec(75), "1:15");
    EXPECT_EQ(MinSec(3600), "60:00");
    EXPECT_EQ(MinSec(-65), "-1:05");
    EXPECT_EQ(MinSec(-5), "-0:05");
    EXPECT_EQ(MinSec(std::numeric_limits<qint64>::min()), "-153722867280912930:08");

    EXPECT_EQ(StatusCodeName(0), "vbAsyncStatusCodeError");
    EXPECT_EQ(StatusCodeName(13), "vbAsyncStatusCodeMIMETypeAvailable");
    EXPECT_EQ(StatusCodeName(16), "vbAsyncStatusCodeEndSyncOperation");
    for (const std::int16_t unnamed : {7, 8, 9, 12, 17, -1})
        EXPECT_EQ(StatusCodeName(unnamed), "") << unnamed;
}

TEST(TransferFigures, RoundingHalvesToEvenAndClampingTo32Bits)
{
    EXPECT_EQ(barValue(transferPercent(3, 8)), 38);
    EXPECT_EQ(barValue(transferPercent(1, 8)), 12);
    EXPECT_EQ(barValue(transferPercent(5, 4)), 125) << "more than announced; the bar keeps it within Max";
    EXPECT_EQ(barValue(transferPercent(qint64(1) << 50, 1)), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(remainingSeconds(1000, 4000, 10), 30);
    EXPECT_EQ(remainingSeconds(5000, 4000, 10), -2);
    EXPECT_EQ(remainingSeconds(1, qint64(1) << 40, 100), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(bytesPerSecond(1000, 10), 100);
    EXPECT_EQ(bytesPerSecond(5, 2), 2);
    EXPECT_EQ(bytesPerSecond(7, 2), 4);
    EXPECT_EQ(elapsedSeconds(86399.6, 86400.1), 0) << "0.5 s goes to the even neighbour";
    EXPECT_EQ(elapsedSeconds(10, 11.5), 2);
}
