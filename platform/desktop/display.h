#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QApplication;

namespace platform {

// Why a program can't reach a window system here, from its environment:
// on Linux, no QT_QPA_PLATFORM and neither DISPLAY nor WAYLAND_DISPLAY.
std::optional<QString> noDisplayReason(const QByteArray &qpaPlatform, const QByteArray &display,
                                       const QByteArray &waylandDisplay);

// The program's QApplication; when no window system can be reached (none
// named, or the one named refuses), one line on standard error, "PROGRAM:
// can't open a window: REASON", and the process ends with exitStatus.
std::unique_ptr<QApplication> openApplication(int &argc, char **argv, const char *program, int exitStatus);

} // namespace platform
