#include "update/progressbar/progressbarlogic.h"

#include "platform/core/runtimeerror.h"
#include "tests/support/runtimeerrorof.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

using namespace progressbar;
using testsupport::runtimeErrorOf;

namespace {

OleColour rgb(unsigned r, unsigned g, unsigned b) { return r + 256 * g + 65536 * b; }

} // namespace

TEST(BarLayout, WorkedExamplesAlongAndAcross)
{
    const BarLayout bar200 = layoutBar(200, 30, 2, 3, 2);
    EXPECT_EQ(bar200.dotPitch, 5);
    EXPECT_EQ(bar200.dotCount, 38);
    EXPECT_EQ(bar200.lengthLimit, 196);
    EXPECT_EQ(bar200.breadthEnd, 27);

    const BarLayout bar201 = layoutBar(201, 30, 2, 3, 2);
    EXPECT_EQ(bar201.dotCount, 39);
    EXPECT_EQ(bar201.lengthLimit, 197);

    // The update control's bar: one column per dot.
    const BarLayout columns = layoutBar(225, 25, 0, 1, 0);
    EXPECT_EQ(columns.dotCount, 225);
    EXPECT_EQ(columns.lengthLimit, 225);
    EXPECT_EQ(columns.breadthEnd, 24);

    // Too short for one pitch: the count truncates toward zero, even below it.
    EXPECT_EQ(layoutBar(6, 30, 2, 3, 2).dotCount, 0);
    EXPECT_EQ(layoutBar(0, 30, 2, 3, 2).dotCount, -1);
}

TEST(BarLayout, ZeroPitchAndOverflowsFail)
{
    EXPECT_EQ(runtimeErrorOf([] { layoutBar(200, 30, 2, 0, 0); }), platform::ErrDivisionByZero);
    EXPECT_EQ(runtimeErrorOf([] { layoutBar(200, 30, 2, 20000, 20000); }), platform::ErrOverflow);
    EXPECT_EQ(runtimeErrorOf([] { layoutBar(200, 30, 20000, 3, 2); }), platform::ErrOverflow);
    EXPECT_EQ(runtimeErrorOf([] { layoutBar(40000, 30, 0, 1, 0); }), platform::ErrOverflow);
}

TEST(FillTarget, RoundsTheSingleRatioHalvesToEven)
{
    EXPECT_EQ(fillTarget(50, 0, 100, 38), 19);
    EXPECT_EQ(fillTarget(20, 0, 100, 38), 8);  // 7.6
    EXPECT_EQ(fillTarget(30, 0, 100, 38), 11); // 11.4
    EXPECT_EQ(fillTarget(0, 0, 100, 38), 0);
    EXPECT_EQ(fillTarget(100, 0, 100, 38), 38);
    EXPECT_EQ(fillTarget(1, 0, 2, 5), 2);  // 2.5
    EXPECT_EQ(fillTarget(1, 0, 2, 7), 4);  // 3.5
    EXPECT_EQ(fillTarget(70, 20, 120, 10), 5);
}

TEST(FillTarget, EqualEndsAndOverflowsFail)
{
    EXPECT_EQ(runtimeErrorOf([] { fillTarget(50, 50, 50, 38); }), platform::ErrDivisionByZero);
    EXPECT_EQ(runtimeErrorOf([] { fillTarget(0, 0, 0, 38); }), platform::ErrDivisionByZero);
    EXPECT_EQ(runtimeErrorOf([] { fillTarget(2147483647, -10, 100, 38); }), platform::ErrOverflow);
    EXPECT_EQ(runtimeErrorOf([] { fillTarget(0, -2147483647 - 1, 2147483647, 38); }), platform::ErrOverflow);
    EXPECT_EQ(runtimeErrorOf([] { fillTarget(100000, 0, 1, 1000); }), platform::ErrOverflow);
}

TEST(DotColour, BlueRampLevelsBothWays)
{
    DotColours blue{rgb(1, 2, 3), rgb(4, 5, 6), progressbar::GradientBlue, false};
    EXPECT_EQ(dotColour(dotPosition(0, 100), false, blue), rgb(255, 255, 255));
    EXPECT_EQ(dotColour(dotPosition(50, 100), false, blue), rgb(128, 128, 255)); // 127.5 to even
    EXPECT_EQ(dotColour(dotPosition(100, 100), false, blue), rgb(0, 0, 255));
    blue.reverse = true;
    EXPECT_EQ(dotColour(dotPosition(0, 100), false, blue), rgb(0, 0, 255));
    EXPECT_EQ(dotColour(dotPosition(50, 100), false, blue), rgb(127, 127, 255));
    EXPECT_EQ(dotColour(dotPosition(100, 100), false, blue), rgb(255, 255, 255));
}

TEST(DotColour, EveryRampEndsInItsColour)
{
    const struct {
        GradientColour gradient;
        OleColour full;
    } ramps[] = {
        {progressbar::GradientRed, rgb(255, 0, 0)},     {progressbar::GradientGreen, rgb(0, 255, 0)},
        {progressbar::GradientBlue, rgb(0, 0, 255)},    {progressbar::GradientCyan, rgb(0, 255, 255)},
        {progressbar::GradientYellow, rgb(255, 255, 0)}, {progressbar::GradientMagenta, rgb(255, 0, 255)},
        {progressbar::GradientGrey, rgb(0, 0, 0)},      {GradientColour(42), rgb(0, 0, 0)},
    };
    for (const auto &ramp : ramps) {
        const DotColours colours{0, 0, ramp.gradient, false};
        EXPECT_EQ(dotColour(0.0f, false, colours), rgb(255, 255, 255)) << ramp.gradient;
        EXPECT_EQ(dotColour(1.0f, false, colours), ramp.full) << ramp.gradient;
    }
    EXPECT_EQ(dotColour(0.25f, false, {0, 0, progressbar::GradientRed, false}), rgb(255, 191, 191));
}

TEST(DotColour, EraseAndPlainBarAndPositionsPastTheEnds)
{
    const DotColours plain{rgb(9, 8, 7), rgb(0, 255, 255), progressbar::GradientNone, true};
    EXPECT_EQ(dotColour(0.3f, false, plain), rgb(0, 255, 255));
    EXPECT_EQ(dotColour(0.3f, true, plain), rgb(9, 8, 7));
    EXPECT_EQ(dotColour(0.3f, true, {rgb(9, 8, 7), 0, progressbar::GradientGreen, false}), rgb(9, 8, 7));
    // Beyond the scale the ramp stays at its end colours.
    EXPECT_EQ(dotColour(2.0f, false, {0, 0, progressbar::GradientBlue, false}), rgb(0, 0, 255));
    EXPECT_EQ(dotColour(-1.0f, false, {0, 0, progressbar::GradientBlue, false}), rgb(255, 255, 255));
    EXPECT_EQ(runtimeErrorOf([] { dotPosition(3, 0); }), platform::ErrDivisionByZero);
}

// Horizontal dots are checked on the bar's pixels; a vertical bar this narrow
// is below the control's minimum width, so its worked example is checked here.
TEST(DotRect, VerticalDotsGrowUpwardsAndCutAtTheMargin)
{
    const BarLayout tall = layoutBar(200, 30, 2, 3, 2);
    EXPECT_EQ(dotRect(false, 2, 3, 2, tall, 200), QRect(QPoint(2, 196), QPoint(27, 198)));
    EXPECT_EQ(dotRect(false, 192, 3, 2, tall, 200), QRect(QPoint(2, 6), QPoint(27, 8)));
    const BarLayout tall201 = layoutBar(201, 30, 2, 3, 2);
    EXPECT_EQ(dotRect(false, 197, 3, 2, tall201, 201), QRect(QPoint(2, 2), QPoint(27, 4)));
    const BarLayout cut = layoutBar(199, 30, 2, 3, 2); // limit 195 + margin 2 = 197
    EXPECT_EQ(dotRect(false, 197, 3, 2, cut, 199), QRect(QPoint(2, 2), QPoint(27, 2)));
    EXPECT_EQ(runtimeErrorOf([&] { dotRect(true, 32767, 3, 2, tall, 30); }), platform::ErrOverflow);
}

TEST(CaptionText, PercentValueAndTheTypesThatKeepTheText)
{
    EXPECT_EQ(captionText(progressbar::CaptionPercent, 70, 20, 120), QStringLiteral("50%"));
    EXPECT_EQ(captionText(progressbar::CaptionPercent, 0, 0, 100), QStringLiteral("0%"));
    EXPECT_EQ(captionText(progressbar::CaptionPercent, 100, 0, 100), QStringLiteral("100%"));
    EXPECT_EQ(captionText(progressbar::CaptionPercent, 1, 0, 200), QStringLiteral("0%")); // 0.5 to even
    EXPECT_EQ(captionText(progressbar::CaptionPercent, 3, 0, 200), QStringLiteral("2%")); // 1.5 to even
    EXPECT_EQ(captionText(progressbar::CaptionValue, 1250, 0, 2000), QStringLiteral("1250"));
    EXPECT_EQ(captionText(progressbar::CaptionValue, -3, -10, 10), QStringLiteral("-3"));
    EXPECT_FALSE(captionText(progressbar::CaptionNone, 5, 0, 10));
    EXPECT_FALSE(captionText(progressbar::CaptionCustom, 5, 0, 10));
    EXPECT_FALSE(captionText(CaptionType(9), 5, 0, 10));
    EXPECT_EQ(runtimeErrorOf([] { captionText(progressbar::CaptionPercent, 5, 5, 5); }), platform::ErrDivisionByZero);
}

TEST(LabelAndBorder, AcceptOnlyTheirValues)
{
    EXPECT_EQ(captionAlignment(0), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(captionAlignment(1), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(captionAlignment(2), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(runtimeErrorOf([] { captionAlignment(3); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(runtimeErrorOf([] { captionAlignment(-1); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(runtimeErrorOf([] { captionAlignment(70000); }), platform::ErrOverflow);
    EXPECT_EQ(borderWidth(progressbar::BorderStyle::None), 0);
    EXPECT_EQ(borderWidth(progressbar::BorderStyle::FixedSingle), 1);
    EXPECT_EQ(runtimeErrorOf([] { borderWidth(BorderStyle(2)); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(runtimeErrorOf([] { borderWidth(BorderStyle(-40000)); }), platform::ErrOverflow);
}

TEST(Colours, PlainAndSystemColours)
{
    EXPECT_EQ(toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0xFFFF00), QColor(0, 255, 255));
    EXPECT_EQ(toQColor(0x8000000F), QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(toQColor(0x80000008), QGuiApplication::palette().color(QPalette::Text));
}
