// ctlhost: a scriptable control test container. Reads commands from the
// file named as its argument, or from standard input, one per line, and
// reports what happens on standard output.
#include "tools/ctlhost/controltestcontainer.h"
#include "tools/ctlhost/scriptline.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ctlhost"));
    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        std::fprintf(stderr, "usage: ctlhost [SCRIPT]\n");
        return 2;
    }
    QFile script;
    const bool fromFile = args.size() == 2;
    if (fromFile) {
        script.setFileName(args[1]);
        if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "ctlhost: can't read %s\n", qPrintable(args[1]));
            return 2;
        }
    } else if (!script.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "ctlhost: can't read standard input\n");
        return 2;
    }

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
            return 1;
        } catch (const std::invalid_argument &e) {
            out.flush();
            std::fprintf(stderr, "ctlhost: line %d: %s\n", lineNumber, e.what());
            return 2;
        }
    }
    out.flush();
    return 0;
}
