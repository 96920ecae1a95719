#include "platform/desktop/twips.h"

#include <gtest/gtest.h>

using platform::twipsToPixels;

TEST(Twips, BecomeTheNearestPixelAtFifteenEach)
{
    EXPECT_EQ(twipsToPixels(7), 0);
    EXPECT_EQ(twipsToPixels(8), 1);
    EXPECT_EQ(twipsToPixels(-8), -1);
    EXPECT_EQ(twipsToPixels(4155), 277);
    EXPECT_EQ(twipsToPixels(QRect(-480, 1440, 1222, 368)), QRect(-32, 96, 81, 25));
    EXPECT_EQ(twipsToPixels(QSize(6705, 3615)), QSize(447, 241));
}
