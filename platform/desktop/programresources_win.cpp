#include "platform/desktop/programresources.h"

#include <QImage>
#include <QPixmap>

#include <windows.h>

namespace platform::desktop {

QIcon programIconResource(int group, std::initializer_list<QSize> sizes)
{
    QIcon icon;
    const HMODULE program = GetModuleHandleW(nullptr);
    for (const QSize size : sizes) {
        const auto image = static_cast<HICON>(
            LoadImageW(program, MAKEINTRESOURCEW(group), IMAGE_ICON, size.width(), size.height(), LR_DEFAULTCOLOR));
        if (!image)
            continue;
        icon.addPixmap(QPixmap::fromImage(QImage::fromHICON(image)));
        DestroyIcon(image);
    }
    return icon;
}

QByteArray programDataResource(const QString &name)
{
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(program, name.toStdWString().c_str(), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void *data = loaded ? LockResource(loaded) : nullptr;
    return data ? QByteArray(static_cast<const char *>(data), int(SizeofResource(program, found))) : QByteArray();
}

} // namespace platform::desktop
