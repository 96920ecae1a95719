#include "platform/com/control/application.h"

#include "platform/com/core/module.h"
#include "platform/com/server/library.h"

#include <QApplication>
#include <QFileInfo>

namespace platform::com {

bool ensureApplication()
{
    if (const QCoreApplication *existing = QCoreApplication::instance())
        return qobject_cast<const QApplication *>(existing) != nullptr;
    // The host's folder holds no Qt plugins: they lie beside the module.
    QCoreApplication::addLibraryPath(
        QFileInfo(modulePathOf(reinterpret_cast<const void *>(&ensureApplication))).absolutePath());
    static int argc = 1;
    static char name[] = "Update";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    Module::keepLoaded();
    return true;
}

} // namespace platform::com
