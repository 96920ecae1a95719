#include "tests/support/windowsprograms.h"

#include "tests/support/waitfor.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <windows.h>

namespace testsupport {

namespace {

// Whether a process runs under WoW64, as 32-bit programs on 64-bit Windows do.
bool underWow64(qint64 processId)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(processId));
    BOOL wow64 = FALSE;
    const bool known = process && IsWow64Process(process, &wow64);
    if (process)
        CloseHandle(process);
    return known && wow64;
}

} // namespace

WindowsProgramRun runWindowsProgram(const QString &program, const QStringList &arguments,
                                    const std::function<void()> &meanwhile)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    WindowsProgramRun result;
    if (!process.waitForStarted())
        return result;
    result.ownWidth = underWow64(process.processId()) == underWow64(GetCurrentProcessId());
    const auto ended = [&] {
        meanwhile();
        return process.state() == QProcess::NotRunning;
    };
    if (!poll(ended, 120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.lines = QString::fromLocal8Bit(process.readAll()).split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    return result;
}

int regsvr32(const QStringList &arguments)
{
    return runWindowsProgram(QStringLiteral("regsvr32"), QStringList{QStringLiteral("/s")} + arguments).exitCode;
}

QString builtFile(const QString &name)
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name);
}

} // namespace testsupport
