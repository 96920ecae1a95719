#include "platform/com/core/module.h"

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace platform::com {

QString modulePathOf(const void *address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

} // namespace platform::com
