#include "placement.h"

#include <QDir>

QString FileNameFromPath(const QString &path)
{
    const qsizetype separator = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

QString destinationPath(const QString &location, const QString &fileName, bool locationExists)
{
    // QDir::separator() is '\' on Windows, which takes '/' as well.
    const bool folderMarked =
        location.endsWith(QDir::separator()) || location.endsWith(QLatin1Char('/'));
    if (folderMarked)
        return location + fileName;
    if (locationExists)
        return location + QDir::separator() + fileName;
    return location;
}
