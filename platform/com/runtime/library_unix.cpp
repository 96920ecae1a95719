#include "platform/com/runtime/library.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <dlfcn.h>
#include <memory>

namespace platform::com {

Library *Library::load(const QString &path, QString *error)
{
    static QHash<QString, std::shared_ptr<Library>> loaded;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (const auto it = loaded.constFind(absolute); it != loaded.constEnd())
        return it->get();
    if (!QFileInfo(absolute).isFile()) {
        if (error)
            *error = QStringLiteral("No library file at ") + absolute;
        return nullptr;
    }
    // RTLD_LOCAL keeps the library's own copy of everything to itself.
    void *handle = dlopen(QFile::encodeName(absolute).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        if (error)
            *error = QString::fromLocal8Bit(dlerror());
        return nullptr;
    }
    auto library = std::shared_ptr<Library>(new Library(absolute, handle));
    loaded.insert(absolute, library);
    return library.get();
}

void *Library::resolve(const char *name) const
{
    return dlsym(m_handle, name);
}

} // namespace platform::com
