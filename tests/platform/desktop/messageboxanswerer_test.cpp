#include "platform/desktop/messageboxanswerer.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(MessageBoxAnswerer, PressesTheQueuedButtonOnARealModalBox)
{
    MessageBoxAnswerer answerer;
    answerer.queueAnswer(MsgAnswer::Yes);
    QtMessageBoxService real;
    EXPECT_EQ(real.show(nullptr, QStringLiteral("qvWebUpdate"), QStringLiteral("Download?"), MsgButtons::YesNo,
                        MsgIcon::Question),
              MsgAnswer::Yes);
    ASSERT_EQ(answerer.answered().size(), 1);
    const MessageBoxAnswerer::Answered &a = answerer.answered().first();
    EXPECT_EQ(a.caption, QStringLiteral("qvWebUpdate"));
    EXPECT_EQ(a.text, QStringLiteral("Download?"));
    EXPECT_EQ(a.buttons, MsgButtons::YesNo);
    EXPECT_EQ(a.icon, MsgIcon::Question);
    EXPECT_TRUE(a.scripted);
}

TEST(MessageBoxAnswerer, WithNothingQueuedAnswersOkOrNo)
{
    MessageBoxAnswerer answerer;
    QtMessageBoxService real;
    EXPECT_EQ(real.show(nullptr, QStringLiteral("t"), QStringLiteral("one"), MsgButtons::Ok, MsgIcon::None),
              MsgAnswer::Ok);
    EXPECT_EQ(real.show(nullptr, QStringLiteral("t"), QStringLiteral("two"), MsgButtons::YesNo, MsgIcon::Question),
              MsgAnswer::No);
    EXPECT_EQ(answerer.texts(), QStringList({QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_FALSE(answerer.answered().last().scripted);
}
