#include "platform/core/runtimeerror.h"
#include "platform/core/variant.h"

#include "tests/support/runtimeerrorof.h"

#include <gtest/gtest.h>

using platform::RuntimeError;
using platform::Variant;
using testsupport::runtimeErrorOf;

TEST(Variant, RoundsHalvesToEvenWhenNarrowing)
{
    EXPECT_EQ(Variant(2.5).toInt32(), 2);
    EXPECT_EQ(Variant(3.5).toInt32(), 4);
    EXPECT_EQ(Variant(-2.5).toInt16(), -2);
    EXPECT_EQ(Variant(127.5).toInt16(), 128);
    EXPECT_EQ(Variant(QString(" 37.5 ")).toInt32(), 38);
    EXPECT_EQ(platform::roundToInt32(12.5), 12);
}

TEST(Variant, RaisesOverflowOutsideTheTargetWidth)
{
    EXPECT_EQ(runtimeErrorOf([] { Variant(std::int32_t(32768)).toInt16(); }), 6);
    EXPECT_EQ(runtimeErrorOf([] { Variant(-32768.5).toInt16(); }), 0) << "-32768.5 rounds to the even -32768";
    EXPECT_EQ(runtimeErrorOf([] { Variant(2147483647.5).toInt32(); }), 6);
    EXPECT_EQ(runtimeErrorOf([] { platform::checkedInt16(40000); }), 6);
    EXPECT_EQ(runtimeErrorOf([] { Variant(1e300).toSingle(); }), 6);
}

TEST(Variant, TextsThatAreNoNumberOrBooleanAreATypeMismatch)
{
    EXPECT_EQ(runtimeErrorOf([] { Variant("yes").toBool(); }), 13);
    EXPECT_EQ(runtimeErrorOf([] { Variant("12abc").toInt32(); }), 13);
    EXPECT_EQ(runtimeErrorOf([] { Variant("").toInt32(); }), 13);
    const RuntimeError e(13);
    EXPECT_EQ(e.description(), QString("Type mismatch"));
}

TEST(Variant, ConvertsBetweenBooleansTextsAndNumbersLikeThePlatform)
{
    EXPECT_TRUE(Variant("true").toBool());
    EXPECT_FALSE(Variant("FALSE").toBool());
    EXPECT_TRUE(Variant("-1").toBool());
    EXPECT_FALSE(Variant(std::int16_t(0)).toBool());
    EXPECT_EQ(Variant(true).toInt32(), -1);
    EXPECT_EQ(Variant(true).toString(), QString("True"));
    EXPECT_EQ(Variant(false).toString(), QString("False"));
    EXPECT_EQ(Variant(std::int32_t(-3)).toString(), QString("-3"));
    EXPECT_EQ(Variant("&HFF").toInt32(), 255);
    EXPECT_EQ(Variant().toString(), QString());
    EXPECT_EQ(Variant().toInt32(), 0);
}

TEST(Variant, ABooleanNeverEqualsTheEmptyText)
{
    EXPECT_FALSE(Variant(false).sameValue(Variant(QString())));
    EXPECT_FALSE(Variant(true).sameValue(Variant(QString())));
    EXPECT_TRUE(Variant(QString()).sameValue(Variant(QString())));
    EXPECT_FALSE(Variant("x").sameValue(Variant(QString())));
    EXPECT_TRUE(Variant(std::int16_t(3)).sameValue(Variant(3.0)));
    EXPECT_FALSE(Variant("3").sameValue(Variant(std::int32_t(3))));
}
