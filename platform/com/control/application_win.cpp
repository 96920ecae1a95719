#include "platform/com/control/application.h"

#include "platform/com/core/module.h"

#include <QApplication>
#include <QFileInfo>

namespace platform::com {

namespace {

// Qt ends the whole process when it finds no platform plugin: look for it
// first, where Qt will.
bool platformPluginFound()
{
    QString name = qEnvironmentVariable("QT_QPA_PLATFORM").section(QLatin1Char(':'), 0, 0);
    if (name.isEmpty())
        name = QStringLiteral("windows");
    QStringList folders;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    for (const QString &path : QCoreApplication::libraryPaths())
        folders << path + QStringLiteral("/platforms");
    for (const QString &folder : folders) {
        if (QFileInfo::exists(folder + QStringLiteral("/q") + name + QStringLiteral(".dll")))
            return true;
    }
    qWarning("No Qt platform plugin \"%s\" in %s: the controls can't start", qPrintable(name),
             qPrintable(folders.join(QStringLiteral(", "))));
    return false;
}

} // namespace

HRESULT ensureApplication()
{
    if (const QCoreApplication *existing = QCoreApplication::instance())
        return qobject_cast<const QApplication *>(existing) ? S_OK : CO_E_NOTINITIALIZED;
    // The host's folder holds no Qt plugins: they lie beside the module.
    QCoreApplication::addLibraryPath(
        QFileInfo(modulePathOf(reinterpret_cast<const void *>(&ensureApplication))).absolutePath());
    if (!platformPluginFound())
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    static int argc = 1;
    static char name[] = "Update";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    Module::keepLoaded();
    return S_OK;
}

} // namespace platform::com
