#pragma once

#include <QLatin1String>

// The keys under which the update control's settings are saved and
// restored, in that order. Header-only, so a host that writes a control's
// stored settings (the updater adds PublicKey) needs no link to the library.
namespace webupdate::keys {

inline constexpr QLatin1String DownloadLocation("DownloadLocation");
inline constexpr QLatin1String DownloadFile("DownloadFile");
inline constexpr QLatin1String DownloadVersionFile("DownloadVersionFile");
inline constexpr QLatin1String CurrentVersion("CurrentVersion");
inline constexpr QLatin1String ConfirmDownload("ConfirmDownload");
inline constexpr QLatin1String AutoRun("AutoRun");
inline constexpr QLatin1String LogFilename("LogFilename");
inline constexpr QLatin1String PublicKey("PublicKey");

} // namespace webupdate::keys
