#pragma once

#include <cstdint>

// One progress bar's settings and size, drawn by the Linux build into the
// reference picture data/referencebar.png and by Update.dll in a container
// under Wine: no border and no caption, so no style or font draws in it.
namespace referencebar {

inline constexpr int Width = 160;
inline constexpr int Height = 24;
inline constexpr std::int32_t BorderStyle = 0;
inline constexpr std::int32_t CaptionType = 0;
inline constexpr std::int32_t GradientColour = 1;
inline constexpr std::int32_t DotWidth = 4;
inline constexpr std::int32_t GapWidth = 2;
inline constexpr std::int32_t Value = 60;

} // namespace referencebar
