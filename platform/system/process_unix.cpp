#include "platform/system/process.h"
#include "platform/system/process_p.h"

#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <cerrno>
#include <csignal>

namespace platform::process {

bool isRunning(qint64 processId)
{
    return processId > 0 && (::kill(pid_t(processId), 0) == 0 || errno != ESRCH);
}

void startProgram(const QString &path)
{
    const QFileInfo info = detail::startable(path);
    if (!QProcess::startDetached(info.absoluteFilePath(), {}))
        throw RuntimeError(ErrInvalidCall);
}

bool shellOpen(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(ErrInvalidCall);
    const QFileInfo info(path);
    if (info.isFile() && files::isProgramFile(path))
        return QProcess::startDetached(info.absoluteFilePath(), {});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace platform::process
