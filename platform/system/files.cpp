// The file operations that Qt gives alike on every platform.

#include "platform/system/files.h"

#include "platform/core/runtimeerror.h"

#include <QFile>
#include <QFileInfo>

namespace platform::files {

bool isProgramFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && isProgramImage(file.read(4));
}

QString readFirstLine(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw RuntimeError(ErrBadFileName);
    if (QFileInfo(path).isDir())
        throw RuntimeError(ErrPathFileAccess);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(file.exists() ? ErrPermissionDenied : ErrFileNotFound);
    QByteArray line;
    char c = 0;
    bool any = false;
    while (file.getChar(&c)) {
        any = true;
        if (c == '\r' || c == '\n')
            break;
        if (line.size() == maxFirstLineBytes)
            throw RuntimeError(ErrPathFileAccess,
                               QStringLiteral("The first line is longer than %1 bytes").arg(maxFirstLineBytes));
        line.append(c);
    }
    if (!any)
        throw RuntimeError(ErrInputPastEnd);
    return QString::fromLocal8Bit(line);
}

} // namespace platform::files
