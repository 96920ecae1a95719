#pragma once

#include "update/published/progressbartypes.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

// The progress bar's arithmetic, free of any widget: colours, layout, fill
// target, dot boxes and caption texts. Errors are platform::RuntimeError.
namespace progressbar {

// The colour to paint for a property colour; system colours come from the
// application's palette.
QColor toQColor(OleColour colour);

// Where the dots lie, worked out by a full redraw and reused by the
// incremental ones.
struct BarLayout {
    std::int16_t dotPitch = 0;    // DotWidth + GapWidth
    std::int16_t dotCount = 0;    // dot pitches that fit along the bar
    std::int16_t lengthLimit = 0; // extent along the bar less twice the margin
    std::int16_t breadthEnd = 0;  // far edge of the dots across the bar
};

// Lays the dots out on a client area with the given extents along and across
// the bar. Raises "Division by zero" (11) for a zero pitch and "Overflow" (6)
// for a field or intermediate outside 16 bits.
BarLayout layoutBar(int extentAlong, int extentAcross, std::int16_t marginSize, std::int16_t dotWidth,
                    std::int16_t gapWidth);

// The dot index the walk fills up to for value on a min..max scale:
// nearest(dotCount * single((value - min) / (max - min))), halves to even.
// Raises 11 when max equals min and 6 on a 32- or 16-bit overflow.
std::int16_t fillTarget(std::int32_t value, std::int32_t min, std::int32_t max, std::int16_t dotCount);

// The ramp position of dot index: 0 at the first dot, 1 at the dot with
// index dotCount, rounded to single. Raises 11 when dotCount is 0.
float dotPosition(int index, std::int16_t dotCount);

// The settings DotColour reads.
struct DotColours {
    OleColour back = 0;
    OleColour bar = 0;
    GradientColour gradient = GradientNone;
    bool reverse = false;
};

// The colour of a dot at a ramp position: BackColour when erasing, BarColour
// without a ramp, otherwise the ramp from white (position 0) to the full
// colour (position 1), or the other way when reversed. Gradient values
// outside the members ramp like GradientGrey.
OleColour dotColour(float position, bool erase, const DotColours &colours);

// The pixel box (both corners included) of the dot that starts pos pixels
// along the bar; a dot that would reach past the limit ends at it.
// Raises 6 when pos + dotWidth leaves 16 bits.
QRect dotRect(bool horizontal, std::int16_t pos, std::int16_t dotWidth, std::int16_t marginSize,
              const BarLayout &layout, int clientHeight);

// The caption a caption type computes: "42%" for CaptionPercent, the value
// for CaptionValue; nothing for the types that leave the caption as it is.
// Raises 11 when max equals min under CaptionPercent.
std::optional<QString> captionText(CaptionType type, std::int32_t value, std::int32_t min, std::int32_t max);

// The label alignment for an Alignment value (0 left, 1 right, 2 centred).
// Raises 6 outside 16 bits and "Invalid property value" (380) otherwise.
Qt::Alignment captionAlignment(std::int32_t alignment);

// The border's width in pixels for a BorderStyle value (0 none, 1 single
// line). Raises 6 outside 16 bits and 380 otherwise.
int borderWidth(BorderStyle style);

} // namespace progressbar
