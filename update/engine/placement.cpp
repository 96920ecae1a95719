#include "placement.h"

QString FileNameFromPath(const QString &path)
{
    const qsizetype separator = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(separator + 1);
}

QString destinationPath(const QString &location, const QString &fileName, bool locationExists)
{
    if (location.endsWith(QLatin1Char('/')))
        return location + fileName;
    if (locationExists)
        return location + QLatin1Char('/') + fileName;
    return location;
}
