#include "platform/com/core/bstr.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace platform::com;

TEST(Bstr, CarriesByteLengthPrefixAndTrailingNul)
{
    BSTR s = SysAllocString(u"Tarnwick");
    ASSERT_NE(s, nullptr);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<char *>(s) - 4, 4);
    EXPECT_EQ(prefix, 16u);
    EXPECT_EQ(SysStringLen(s), 8u);
    EXPECT_EQ(SysStringByteLen(s), 16u);
    EXPECT_EQ(s[8], u'\0');
    SysFreeString(s);
}

TEST(Bstr, NullIsTheEmptyString)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_TRUE(qstringFromBstr(nullptr).isEmpty());
    SysFreeString(nullptr);

    BSTR empty = bstrFromQString(QString());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(Bstr, KeepsEveryCharacterOfAText)
{
    // An embedded NUL and a character outside the basic plane survive.
    const QString text =
        QStringLiteral("a") + QChar(0) + QStringLiteral("b \u00e9 ") + QString::fromUcs4(U"\U0001F600");
    BSTR s = bstrFromQString(text);
    EXPECT_EQ(SysStringLen(s), UINT(text.size()));
    EXPECT_EQ(qstringFromBstr(s), text);
    SysFreeString(s);
}

TEST(Bstr, LengthGivenAllocationAndReallocation)
{
    BSTR zeros = SysAllocStringLen(nullptr, 3);
    EXPECT_EQ(SysStringLen(zeros), 3u);
    EXPECT_EQ(zeros[0], u'\0');
    EXPECT_EQ(SysReAllocString(&zeros, u"new text"), TRUE);
    EXPECT_EQ(qstringFromBstr(zeros), QStringLiteral("new text"));
    SysFreeString(zeros);
    // A length whose byte count can't fit the prefix is refused.
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
}
