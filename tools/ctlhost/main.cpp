// ctlhost: a scriptable control test container. Reads commands from the
// file named as its argument, or from standard input ("-" or none), one per
// line, and reports what happens on standard output.
#include "tools/ctlhost/controltestcontainer.h"
#include "tools/ctlhost/scriptline.h"

#include "platform/desktop/display.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {

enum ExitStatus { Success = 0, CreateError = 1, ScriptError = 2, NoDisplay = 3 };

const char kDescription[] =
    "A control container driven by a script: reads commands from SCRIPT, or from\n"
    "standard input when SCRIPT is - or missing, and prints what happens.\n"
    "Commands: usermode, create, put, get, call, answer, replace-status,\n"
    "fail-status, save, resize, grab, wait (see ctlhost(1)).\n"
    "\n"
    "Exit status: 0 the script ran to its end, 1 a create failed, 2 a script\n"
    "error or wrong arguments, 3 no display.";

const char kUsage[] = "usage: ctlhost [--help | --version] [SCRIPT | -]";

int badArguments(const QString &problem)
{
    std::fprintf(stderr, "ctlhost: %s\n%s\n(ctlhost --help for more)\n", qPrintable(problem), kUsage);
    return ScriptError;
}

int run(QFile &script)
{
    QTextStream out(stdout);
    ControlTestContainer container(out);
    QTextStream in(&script);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        try {
            container.execute(splitScriptLine(trimmed));
        } catch (const CreateFailed &e) {
            out.flush();
            std::fprintf(stderr, "ctlhost: line %d: %s\n", lineNumber, e.what());
            return CreateError;
        } catch (const std::invalid_argument &e) {
            out.flush();
            std::fprintf(stderr, "ctlhost: line %d: %s\n", lineNumber, e.what());
            return ScriptError;
        }
    }
    out.flush();
    return Success;
}

} // namespace

int main(int argc, char **argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("The script, or - for standard input."));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Help, the version and wrong arguments need no display.
    if (!parser.parse(arguments))
        return badArguments(parser.errorText());
    if (parser.isSet(help)) {
        // Qt's first line names the program by its path.
        std::printf("%s\n%s\n", kUsage, qPrintable(parser.helpText().section(QLatin1Char('\n'), 1).trimmed()));
        return Success;
    }
    if (parser.isSet(version)) {
        std::printf("ctlhost %s\n", TARNWICK_VERSION);
        return Success;
    }
    if (parser.positionalArguments().size() > 1)
        return badArguments(QStringLiteral("more than one script named"));

    const std::unique_ptr<QApplication> app = platform::openApplication(argc, argv, "ctlhost", NoDisplay);
    QApplication::setApplicationName(QStringLiteral("ctlhost"));
    // The application's arguments: on Windows, in full Unicode.
    parser.parse(QApplication::arguments());
    const QStringList args = parser.positionalArguments();
    QFile script;
    const bool fromFile = !args.isEmpty() && args.first() != QStringLiteral("-");
    if (fromFile) {
        script.setFileName(args.first());
        if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "ctlhost: can't read %s\n", qPrintable(args.first()));
            return ScriptError;
        }
    } else if (!script.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "ctlhost: can't read standard input\n");
        return ScriptError;
    }
    return run(script);
}
