#pragma once

#include "platform/com/core/types.h"

// The DISPIDs of the library's interfaces: fixed, since hosts bind to them
// without looking names up.
namespace qvWebUpdate {

using platform::com::DISPID;

// _ctlWebUpdate
namespace ctlWebUpdateId {
inline constexpr DISPID DownloadLocation = 0x68030006;
inline constexpr DISPID DownloadFile = 0x68030005;
inline constexpr DISPID DownloadVersionFile = 0x68030004;
inline constexpr DISPID CurrentVersion = 0x68030003;
inline constexpr DISPID ConfirmDownload = 0x68030002;
inline constexpr DISPID AutoRun = 0x68030001;
inline constexpr DISPID LogFilename = 0x68030000;
inline constexpr DISPID RunUpdate = 0x60030007;
inline constexpr DISPID CancelDownload = 0x60030014;
// __ctlWebUpdate
inline constexpr DISPID StatusChange = 1;
} // namespace ctlWebUpdateId

// _qvProgressBar
namespace qvProgressBarId {
inline constexpr DISPID ReverseGradient = 0x6803000F;
inline constexpr DISPID Horizontal = 0x6803000E;
inline constexpr DISPID Alignment = 0x6803000D;
inline constexpr DISPID GradientColour = 0x6803000C;
inline constexpr DISPID MarginSize = 0x6803000B;
inline constexpr DISPID BorderStyle = 0x6803000A;
inline constexpr DISPID BackColour = 0x68030009;
inline constexpr DISPID FontColour = 0x68030008;
inline constexpr DISPID BarColour = 0x68030007;
inline constexpr DISPID Max = 0x68030006;
inline constexpr DISPID Min = 0x68030005;
inline constexpr DISPID Value = 0x68030004;
inline constexpr DISPID DotWidth = 0x68030003;
inline constexpr DISPID GapWidth = 0x68030002;
inline constexpr DISPID CaptionType = 0x68030001;
inline constexpr DISPID Caption = 0x68030000;
} // namespace qvProgressBarId

} // namespace qvWebUpdate
