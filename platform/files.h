#pragma once

#include <QString>

// File operations the system relies on. Every failure raises a
// platform::RuntimeError with the classic number nearest to the cause.
// Text is UTF-8; lines written end in CR LF.
namespace platform::files {

// Opens the file for appending (creating it), writes text and CR LF, closes it.
void appendLine(const QString &path, const QString &text);
// Deletes a file (not a folder).
void remove(const QString &path);
// Whether anything (a file or a folder) exists at the path.
bool exists(const QString &path);
// Whether a regular file that is not hidden (name not starting with '.')
// exists at the path.
bool isOrdinaryFile(const QString &path);
// The text up to the first CR, CR LF or LF; the whole file when it has no
// line end. A file without any byte raises "Input past end of file" (62).
QString readFirstLine(const QString &path);
// Moves source over destination in one step: the destination is either the
// old file or the new one, never missing. Works across file systems (copies
// into the destination's folder first). The placed file keeps the
// permission bits of the file it replaces, or gets 0755 less the umask.
void replace(const QString &source, const QString &destination);

} // namespace platform::files
