#include "programresources.h"

#include <QImage>
#include <windows.h>

namespace {

// The program's icon group (updater.rc.in).
constexpr int kIconResource = 1;

} // namespace

QIcon programIcon()
{
    QIcon icon;
    const HMODULE program = GetModuleHandleW(nullptr);
    for (const QSize size : {QSize(68, 71), QSize(24, 24), QSize(32, 32), QSize(48, 48)}) {
        const auto image = static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                         size.width(), size.height(), LR_DEFAULTCOLOR));
        if (!image)
            continue;
        icon.addPixmap(QPixmap::fromImage(QImage::fromHICON(image)));
        DestroyIcon(image);
    }
    return icon;
}

QPixmap programPicture(const QString &name)
{
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(program, name.toStdWString().c_str(), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void *data = loaded ? LockResource(loaded) : nullptr;
    QPixmap picture;
    if (data)
        picture.loadFromData(static_cast<const uchar *>(data), SizeofResource(program, found));
    return picture;
}
