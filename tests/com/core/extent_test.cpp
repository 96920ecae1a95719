#include "platform/com/core/extent.h"

#include <gtest/gtest.h>

using namespace platform::com;

TEST(Extent, HimetricAndPixelsAtNinetySixDotsPerInch)
{
    EXPECT_EQ(pixelsToHimetric(96), 2540);
    EXPECT_EQ(himetricToPixels(2540), 96);
    EXPECT_EQ(pixelsToHimetric(1), 26);
    EXPECT_EQ(himetricToPixels(13), 0) << "0.49 pixels";
    for (int px : {0, 1, 17, 320, 4000})
        EXPECT_EQ(himetricToPixels(pixelsToHimetric(px)), px);
}
