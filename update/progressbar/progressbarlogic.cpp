#include "update/progressbar/progressbarlogic.h"

#include "platform/core/runtimeerror.h"
#include "platform/core/variant.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

namespace progressbar {

namespace {

constexpr OleColour SystemColourFlag = 0x80000000u;

// The palette role nearest to each system colour index a host may name.
QPalette::ColorRole systemColourRole(unsigned index)
{
    switch (index) {
    case 5: return QPalette::Base;                 // window background
    case 7: return QPalette::WindowText;           // menu text
    case 8: return QPalette::Text;                 // window text
    case 2:
    case 13: return QPalette::Highlight;           // active caption, selection
    case 9:
    case 14: return QPalette::HighlightedText;     // caption text, selected text
    case 16: return QPalette::Dark;                // button shadow
    case 17: return QPalette::PlaceholderText;     // grey text
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;               // button highlight
    case 6:
    case 21: return QPalette::Shadow;              // window frame, dark shadow
    case 22: return QPalette::Midlight;
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    case 15: return QPalette::Button;              // button face
    default: return QPalette::Window;
    }
}

double quotient(std::int32_t value, std::int32_t min, std::int32_t max)
{
    const std::int32_t numerator = platform::checkedInt32(std::int64_t(value) - min);
    const std::int32_t denominator = platform::checkedInt32(std::int64_t(max) - min);
    if (denominator == 0)
        throw platform::RuntimeError(platform::ErrDivisionByZero);
    return double(numerator) / double(denominator);
}

QRect boxFromCorners(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
}

} // namespace

QColor toQColor(OleColour colour)
{
    if (colour & SystemColourFlag)
        return QGuiApplication::palette().color(systemColourRole(colour & 0xFFu));
    return QColor(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

BarLayout layoutBar(int extentAlong, int extentAcross, std::int16_t marginSize, std::int16_t dotWidth,
                    std::int16_t gapWidth)
{
    BarLayout layout;
    layout.dotPitch = platform::checkedInt16(std::int64_t(dotWidth) + gapWidth);
    const std::int16_t twoMargins = platform::checkedInt16(2 * std::int64_t(marginSize));
    const std::int32_t usable = platform::roundToInt32(double(extentAlong) - twoMargins - gapWidth);
    if (layout.dotPitch == 0)
        throw platform::RuntimeError(platform::ErrDivisionByZero);
    layout.dotCount = platform::checkedInt16(usable / layout.dotPitch);
    layout.lengthLimit = platform::roundToInt16(double(extentAlong) - twoMargins);
    layout.breadthEnd = platform::roundToInt16(double(extentAcross) - marginSize - 1);
    return layout;
}

std::int16_t fillTarget(std::int32_t value, std::int32_t min, std::int32_t max, std::int16_t dotCount)
{
    const float ratio = float(quotient(value, min, max));
    return platform::roundToInt16(double(dotCount) * double(ratio));
}

float dotPosition(int index, std::int16_t dotCount)
{
    if (dotCount == 0)
        throw platform::RuntimeError(platform::ErrDivisionByZero);
    return float(double(index) / double(dotCount));
}

OleColour dotColour(float position, bool erase, const DotColours &colours)
{
    if (erase)
        return colours.back;
    if (colours.gradient == GradientNone)
        return colours.bar;
    std::int32_t level = platform::roundToInt32(255.0 - double(position) * 255.0);
    if (colours.reverse)
        level = 255 - level;
    // Dots past either end of the scale (a Value outside Min..Max that a load
    // left) take the ramp's end colour instead of bleeding into other channels.
    const OleColour c = OleColour(std::clamp(level, 0, 255));
    const OleColour full = 255;
    OleColour red = c, green = c, blue = c;
    switch (colours.gradient) {
    case GradientRed: red = full; break;
    case GradientGreen: green = full; break;
    case GradientBlue: blue = full; break;
    case GradientCyan: green = blue = full; break;
    case GradientYellow: red = green = full; break;
    case GradientMagenta: red = blue = full; break;
    default: break;
    }
    return red + 256 * green + 65536 * blue;
}

QRect dotRect(bool horizontal, std::int16_t pos, std::int16_t dotWidth, std::int16_t marginSize,
              const BarLayout &layout, int clientHeight)
{
    const std::int16_t farEdge = platform::checkedInt16(std::int64_t(pos) + dotWidth);
    if (horizontal) {
        const int right = farEdge <= layout.lengthLimit ? farEdge - 1 : layout.lengthLimit;
        return boxFromCorners(pos, marginSize, right, layout.breadthEnd);
    }
    const std::int16_t limit = platform::checkedInt16(std::int64_t(layout.lengthLimit) + marginSize);
    const int top = farEdge <= limit ? clientHeight - pos - dotWidth + 1 : marginSize;
    return boxFromCorners(marginSize, clientHeight - pos, layout.breadthEnd, top);
}

std::optional<QString> captionText(CaptionType type, std::int32_t value, std::int32_t min, std::int32_t max)
{
    switch (type) {
    case CaptionPercent:
        return QString::number(platform::roundToInt32(quotient(value, min, max) * 100)) + QLatin1Char('%');
    case CaptionValue:
        return QString::number(value);
    default:
        return std::nullopt;
    }
}

Qt::Alignment captionAlignment(std::int32_t alignment)
{
    switch (platform::checkedInt16(alignment)) {
    case LeftJustify: return Qt::AlignLeft | Qt::AlignVCenter;
    case RightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: throw platform::RuntimeError(platform::ErrInvalidPropertyValue);
    }
}

int borderWidth(BorderStyle style)
{
    switch (platform::checkedInt16(std::int32_t(style))) {
    case 0: return 0;
    case 1: return 1;
    default: throw platform::RuntimeError(platform::ErrInvalidPropertyValue);
    }
}

} // namespace progressbar
