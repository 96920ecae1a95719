#pragma once

#include <QString>

// Processes: where the running program lives and starting other programs.
// Nothing here goes through a shell, and nothing waits for what it starts.
//
// On Windows (process_win.cpp) folders are written with '\', programs start
// with CreateProcessW and the shell's "open" is ShellExecuteExW.
namespace platform::process {

// The folder of the running executable, without a trailing separator.
QString applicationFolder();
// The running program's title (its application name).
QString applicationTitle();
// Whether a process of the id is running (for what a dead run left behind:
// a process that can't be asked counts as running).
bool isRunning(qint64 processId);
// Starts the executable file at path, detached, in the caller's working
// directory (the shell's way, with no directory of its own). Raises
// "File not found" (53) when nothing is there and "Permission denied" (70)
// or "Invalid procedure call or argument" (5) when it can't be started.
void startProgram(const QString &path);
// The shell's "open": a program by its content (an ELF image or a "#!"
// script) is started directly, detached, in the caller's working directory;
// any other file is handed to the desktop's opener. Returns whether it was
// handed on; raises only for an empty path.
bool shellOpen(const QString &path);

} // namespace platform::process
