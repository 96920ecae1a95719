#pragma once

#include <cstdint>

// The progress bar's published types. Every enumeration is 32 bits wide,
// and a property of its type may hold any 32-bit value: the bar keeps values
// outside the members as given (see qvProgressBar for what it does with them).
// In a namespace, so that the types stay apart from the bar's properties of
// the same names.
namespace progressbar {

// A colour as the bar's properties hold it (OLE_COLOR in the type library):
// 0x00BBGGRR, or a system colour (its index in the low byte) when the high
// bit is set.
using OleColour = std::uint32_t;

enum GradientColour : std::int32_t {
    GradientNone = 0,
    GradientRed = 1,
    GradientGreen = 2,
    GradientBlue = 3,
    GradientCyan = 4,
    GradientYellow = 5,
    GradientMagenta = 6,
    GradientGrey = 7,
};

enum CaptionType : std::int32_t {
    CaptionNone = 0,
    CaptionPercent = 1,
    CaptionValue = 2,
    CaptionCustom = 3,
};

// Scoped, so that its None stays apart from other enumerations' members.
enum class BorderStyle : std::int32_t {
    None = 0,
    FixedSingle = 1,
};

// The caption's alignment: the control runtime's enumeration, which the
// Alignment property takes.
enum AlignmentConstants : std::int32_t {
    LeftJustify = 0,
    RightJustify = 1,
    Center = 2,
};

} // namespace progressbar
