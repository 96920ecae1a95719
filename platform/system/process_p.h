#pragma once

#include <QFileInfo>

namespace platform::process::detail {

// The program at path, when it can be started: raises "Invalid procedure
// call or argument" (5) for an empty path, "File not found" (53) when
// nothing is there and "Permission denied" (70) for anything but an
// executable file.
QFileInfo startable(const QString &path);

} // namespace platform::process::detail
