#include "process.h"

#include "files.h"
#include "runtimeerror.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform::process {

QString applicationFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString applicationTitle()
{
    return QCoreApplication::applicationName();
}

void startProgram(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(ErrInvalidCall);
    const QFileInfo info(path);
    if (!info.exists())
        throw RuntimeError(ErrFileNotFound);
    if (!info.isFile() || !info.isExecutable())
        throw RuntimeError(ErrPermissionDenied);
    if (!QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath()))
        throw RuntimeError(ErrInvalidCall);
}

bool shellOpen(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(ErrInvalidCall);
    const QFileInfo info(path);
    if (info.isFile() && files::isProgramFile(path))
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace platform::process
