#include "platform/system/process.h"
#include "platform/system/process_p.h"

#include "platform/core/runtimeerror.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>
#include <shellapi.h>

namespace platform::process {

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace

bool isRunning(qint64 processId)
{
    if (processId <= 0)
        return false;
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(processId));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

void startProgram(const QString &path)
{
    const QFileInfo info = detail::startable(path);
    const std::wstring program = native(info.absoluteFilePath());
    // The command line is the program's own name, quoted: nothing else is
    // passed and no shell reads it.
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        const DWORD error = GetLastError();
        throw error == ERROR_ACCESS_DENIED || error == ERROR_BAD_EXE_FORMAT || error == ERROR_FILE_NOT_FOUND
            ? errorFromWindowsError(error)
            : RuntimeError(ErrInvalidCall);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

bool shellOpen(const QString &path)
{
    if (path.isEmpty())
        throw RuntimeError(ErrInvalidCall);
    const QFileInfo info(path);
    const std::wstring file = native(info.absoluteFilePath());
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute);
}

} // namespace platform::process
