// regsvr: registers a control library in the per-user class registry by
// calling its DllRegisterServer, or unregisters it (-u) by calling its
// DllUnregisterServer.
//
// Exit status: 0 success, 1 wrong arguments, 3 the library can't be
// loaded, 4 it lacks the entry point, 5 the entry point reported failure.

#include "platform/com/core/automation.h"
#include "platform/com/runtime/library.h"
#include "platform/com/runtime/registry.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

enum ExitStatus { Success = 0, BadArguments = 1, LoadFailed = 3, NoEntryPoint = 4, CallFailed = 5 };

void printTo(std::FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

int usage(const QString &problem)
{
    printTo(stderr, QStringLiteral("regsvr: ") + problem);
    printTo(stderr, QStringLiteral("usage: regsvr [-u] LIBRARY\n"
                                   "  registers the control library LIBRARY, or unregisters it with -u"));
    return BadArguments;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool unregister = args.removeAll(QStringLiteral("-u")) > 0;
    if (args.contains(QStringLiteral("-h")) || args.contains(QStringLiteral("--help"))) {
        printTo(stdout, QStringLiteral("usage: regsvr [-u] LIBRARY"));
        return Success;
    }
    if (args.size() != 1)
        return usage(args.isEmpty() ? QStringLiteral("no library named") : QStringLiteral("more than one library named"));
    if (args.first().startsWith(QLatin1Char('-')))
        return usage(QStringLiteral("unknown option ") + args.first());

    const QString path = args.first();
    QString error;
    platform::com::Library *library = platform::com::Library::load(path, &error);
    if (!library) {
        printTo(stderr, QStringLiteral("regsvr: cannot load %1: %2").arg(path, error));
        return LoadFailed;
    }
    const char *entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto entry = reinterpret_cast<platform::com::Library::EntryPoint>(library->resolve(entryName));
    if (!entry) {
        printTo(stderr, QStringLiteral("regsvr: %1 has no entry point %2").arg(library->path(), QLatin1String(entryName)));
        return NoEntryPoint;
    }
    const platform::com::HRESULT h = entry();
    if (platform::com::FAILED(h)) {
        printTo(stderr, QStringLiteral("regsvr: %1 in %2 failed: %3")
                            .arg(QLatin1String(entryName), library->path(), platform::com::hresultMessage(h)));
        return CallFailed;
    }
    printTo(stdout, QStringLiteral("regsvr: %1 %2 (registry %3)")
                        .arg(unregister ? QStringLiteral("unregistered") : QStringLiteral("registered"), library->path(),
                             platform::com::Registry::filePath()));
    return Success;
}
