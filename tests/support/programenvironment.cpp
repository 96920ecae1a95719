#include "programenvironment.h"

namespace testsupport {

QProcessEnvironment programEnvironment(const QString &dataHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dataHome + QStringLiteral("/cache"));
    // No system-wide registration (a package's) shows through.
    env.insert(QStringLiteral("XDG_DATA_DIRS"), dataHome + QStringLiteral("/system"));
    return env;
}

} // namespace testsupport
