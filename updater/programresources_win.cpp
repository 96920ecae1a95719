#include "programresources.h"

#include "platform/desktop/programresources.h"

namespace {

// The program's icon group (updater.rc.in).
constexpr int kIconResource = 1;

} // namespace

QIcon programIcon()
{
    return platform::desktop::programIconResource(
        kIconResource, {QSize(68, 71), QSize(24, 24), QSize(32, 32), QSize(48, 48)});
}

QPixmap programPicture(const QString &name)
{
    QPixmap picture;
    picture.loadFromData(platform::desktop::programDataResource(name));
    return picture;
}
