#include "programresources.h"

QIcon programIcon()
{
    QIcon icon;
    for (const char *name : {"icon-68x71.png", "icon-24.png", "icon-32.png", "icon-48.png"})
        icon.addFile(QStringLiteral(":/updater/") + QLatin1String(name));
    return icon;
}

QPixmap programPicture(const QString &name)
{
    return QPixmap(QStringLiteral(":/updater/") + name);
}
