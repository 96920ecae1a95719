#pragma once

#include <QProcessEnvironment>

namespace testsupport {

// The environment for a program a test runs: the test's own, with the
// program's data folder (XDG_DATA_HOME) at dataHome and its cache folder
// (XDG_CACHE_HOME) and its system-wide data folders (XDG_DATA_DIRS, its
// "system" folder) inside it, so that nothing lands in the user's home and
// nothing installed on the machine shows through.
QProcessEnvironment programEnvironment(const QString &dataHome);

} // namespace testsupport
