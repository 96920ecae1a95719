#pragma once

#include <QLatin1String>

// The keys under which a progress bar's settings are saved and restored,
// in that order. Four differ from the property they hold: LineWidth holds
// DotWidth, Caption CaptionType, Margin MarginSize, Gradient GradientColour.
namespace progressbar::keys {

inline constexpr QLatin1String BackColour("BackColour");
inline constexpr QLatin1String FontColour("FontColour");
inline constexpr QLatin1String BarColour("BarColour");
inline constexpr QLatin1String Horizontal("Horizontal");
inline constexpr QLatin1String ReverseGradient("ReverseGradient");
inline constexpr QLatin1String Max("Max");
inline constexpr QLatin1String Min("Min");
inline constexpr QLatin1String GapWidth("GapWidth");
inline constexpr QLatin1String LineWidth("LineWidth");
inline constexpr QLatin1String Caption("Caption");
inline constexpr QLatin1String BorderStyle("BorderStyle");
inline constexpr QLatin1String Margin("Margin");
inline constexpr QLatin1String Gradient("Gradient");
inline constexpr QLatin1String Alignment("Alignment");

} // namespace progressbar::keys
