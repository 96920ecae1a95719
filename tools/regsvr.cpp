// regsvr: registers a control library in a class registry by calling its
// DllRegisterServer (per user) or its DllInstall (system-wide), or
// unregisters it (-u) by calling DllUnregisterServer or DllInstall.

#include "platform/com/core/automation.h"
#include "platform/com/runtime/library.h"
#include "platform/com/runtime/registry.h"
#include "platform/core/runtimeerror.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

enum ExitStatus { Success = 0, BadArguments = 2, LoadFailed = 3, NoEntryPoint = 4, CallFailed = 5 };

const char kDescription[] =
    "Registers the control library LIBRARY in the class registry, or unregisters it with -u.\n"
    "Per user: $XDG_DATA_HOME/tarnwick/com-registry.json (default ~/.local/share).\n"
    "System-wide (--system): tarnwick/com-registry.json under the first folder of\n"
    "$XDG_DATA_DIRS (default /usr/local/share:/usr/share) that can be written, or\n"
    "under --data-dir. Lookups read the per-user registry first.\n"
    "\n"
    "Exit status: 0 done, 2 wrong arguments, 3 the library can't be loaded,\n"
    "4 it lacks the entry point, 5 the entry point reported failure.";

void printTo(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

const QString kUsage = QStringLiteral("usage: regsvr [--help | --version] [-u] [--system [--data-dir DIR]] LIBRARY");

int badArguments(const QString &problem)
{
    printTo(stderr, QStringLiteral("regsvr: ") + problem);
    printTo(stderr, kUsage + QStringLiteral("\n(regsvr --help for more)"));
    return BadArguments;
}

struct Call {
    const char *entryName;
    QString commandLine; // for DllInstall
};

Call callFor(bool unregister, bool system, const QString &dataDir)
{
    if (!system)
        return {unregister ? "DllUnregisterServer" : "DllRegisterServer", {}};
    return {"DllInstall", dataDir.isEmpty() ? QStringLiteral("system") : QStringLiteral("system:") + dataDir};
}

QString registryOf(bool system, const QString &dataDir)
{
    try {
        return system ? platform::com::Registry::systemFilePath(dataDir) : platform::com::Registry::filePath();
    } catch (const platform::RuntimeError &e) {
        return e.description();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("regsvr"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption unregisterOption(QStringLiteral("u"), QStringLiteral("Unregister instead."));
    const QCommandLineOption systemOption(QStringLiteral("system"),
                                          QStringLiteral("Register for every user of the machine."));
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"),
                                           QStringLiteral("With --system: the data folder DIR instead."),
                                           QStringLiteral("DIR"));
    parser.addOptions({help, version, unregisterOption, systemOption, dataDirOption});
    parser.addPositionalArgument(QStringLiteral("LIBRARY"), QStringLiteral("The control library, a .so file."));

    if (!parser.parse(app.arguments()))
        return badArguments(parser.errorText());
    if (parser.isSet(help)) {
        // Qt's first line names the program by its path.
        printTo(stdout, kUsage + QLatin1Char('\n') + parser.helpText().section(QLatin1Char('\n'), 1).trimmed());
        return Success;
    }
    if (parser.isSet(version)) {
        printTo(stdout, QStringLiteral("regsvr ") + QCoreApplication::applicationVersion());
        return Success;
    }
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return badArguments(args.isEmpty() ? QStringLiteral("no library named")
                                           : QStringLiteral("more than one library named"));
    const bool system = parser.isSet(systemOption);
    const QString dataDir = parser.value(dataDirOption);
    if (!dataDir.isEmpty() && !system)
        return badArguments(QStringLiteral("--data-dir goes with --system"));

    const QString path = args.first();
    QString error;
    platform::com::Library *library = platform::com::Library::load(path, &error);
    if (!library) {
        printTo(stderr, QStringLiteral("regsvr: cannot load %1: %2").arg(path, error));
        return LoadFailed;
    }
    const bool unregister = parser.isSet(unregisterOption);
    const Call call = callFor(unregister, system, dataDir);
    void *entry = library->resolve(call.entryName);
    if (!entry) {
        printTo(stderr,
                QStringLiteral("regsvr: %1 has no entry point %2").arg(library->path(), QLatin1String(call.entryName)));
        return NoEntryPoint;
    }
    platform::com::HRESULT h;
    if (system) {
        using Install = platform::com::HRESULT (*)(platform::com::BOOL, const platform::com::OLECHAR *);
        h = reinterpret_cast<Install>(entry)(unregister ? 0 : 1,
                                             reinterpret_cast<const platform::com::OLECHAR *>(call.commandLine.utf16()));
    } else {
        h = reinterpret_cast<platform::com::Library::EntryPoint>(entry)();
    }
    if (platform::com::FAILED(h)) {
        printTo(stderr, QStringLiteral("regsvr: %1 in %2 failed: %3")
                            .arg(QLatin1String(call.entryName), library->path(), platform::com::hresultMessage(h)));
        return CallFailed;
    }
    printTo(stdout, QStringLiteral("regsvr: %1 %2 (registry %3)")
                        .arg(unregister ? QStringLiteral("unregistered") : QStringLiteral("registered"), library->path(),
                             registryOf(system, dataDir)));
    return Success;
}
