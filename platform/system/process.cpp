// What the platforms share of processes.

#include "platform/system/process.h"
#include "platform/system/process_p.h"

#include "platform/core/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>

namespace platform::process {

QFileInfo detail::startable(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(ErrInvalidCall);
    const QFileInfo info(path);
    if (!info.exists())
        throw RuntimeError(ErrFileNotFound);
    if (!info.isFile() || !info.isExecutable())
        throw RuntimeError(ErrPermissionDenied);
    return info;
}

QString applicationFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString applicationTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace platform::process
