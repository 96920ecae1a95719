#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// File operations the system relies on. Every failure raises a
// platform::RuntimeError with the classic number nearest to the cause.
// Text is in the system's code page (Qt's local 8-bit encoding): UTF-8 on
// Linux, the ANSI code page on Windows, where a character the code page
// lacks is written as Windows writes it ('?'); lines written end in CR LF.
//
// On Windows (files_win.cpp) paths take '\' or '/'; a regular file is one
// that isn't a folder, a device or a link, and an ordinary one has neither
// the hidden nor the system attribute; a program is a PE image (starting
// with "MZ"); files carry no permission bits; and replacing a running
// program renames it aside first (Windows forbids overwriting a running
// .exe but allows renaming it): the old file is then deleted, or left
// hidden beside the new one while it runs, and deleted by the next
// replacement once it no longer runs. A read-only file is not replaced
// ("Permission denied", 70).
namespace platform::files {

// Opens the file for appending (creating it), writes text and CR LF, closes it.
// Never blocks: a FIFO without a reader raises instead of waiting for one.
void appendLine(const QString &path, const QString &text);
// Deletes a regular file; anything else there is left alone (see below).
void remove(const QString &path);
// Raises "Not a regular file: <path>" (75) when a folder, a device, a FIFO
// or the like is at the path. Files that aren't ours are never written over.
void requireRegularFileOrNothing(const QString &path);
// Whether the first bytes of a file make it a program for this platform:
// an ELF image or a script starting with "#!".
bool isProgramImage(QByteArrayView head);
// Whether the file at path is a program by its content (isProgramImage).
bool isProgramFile(const QString &path);
// Whether anything (a file or a folder) exists at the path.
bool exists(const QString &path);
// Whether a regular file that is not hidden (name not starting with '.')
// exists at the path.
bool isOrdinaryFile(const QString &path);
// The text up to the first CR, CR LF or LF; the whole file when it has no
// line end. A file without any byte raises "Input past end of file" (62), a
// first line longer than maxFirstLineBytes "The first line is longer than
// 4096 bytes" (75): nothing from outside can fill the memory.
inline constexpr qsizetype maxFirstLineBytes = 4096;
QString readFirstLine(const QString &path);
// Moves source over destination in one step: the destination is either the
// old file or the new one, never missing. Works across file systems (copies
// into the destination's folder first). The placed file keeps the
// permission bits of the file it replaces; a new file gets 0755 less the
// umask when it is a program, else 0644 less the umask. Refuses to put an
// empty file over an existing one and to replace anything but a regular
// file. The permission bits of the source's other names change with it
// only when there is one other (the read service's record of a download);
// else the source is placed as a copy. A missing source is "File not found"
// (53), a missing destination folder "Path not found" (76).
//
// Durable: the new file's data are synced before it takes the old one's
// name, and the folder after, so a power cut leaves the old file or the
// whole new one. Nothing is followed through a symbolic link (a link as
// source or destination is "Not a regular file"). A source that shares its
// storage with another name (the read service's record, a copy placed
// elsewhere) is copied rather than moved, so that a placed file never
// shares it: changing one never changes another. Temporary files that a
// run which died while placing left beside the destination are removed.
void replace(const QString &source, const QString &destination);
// Writes data as the whole of the file at path, in one step and durably as
// replace() does; only over a regular file or where nothing is.
void writeWhole(const QString &path, const QByteArray &data);

#ifndef _WIN32
// What a power cut would test: each step that makes a replacement durable,
// as it happens ("sync" of a file, "rename" onto a path, "sync folder"),
// for a test to hold to its order. Windows renames with
// MOVEFILE_WRITE_THROUGH after flushing the file instead.
namespace durability {
using Observer = std::function<void(const QString &step, const QString &path)>;
void setObserver(Observer observer);
} // namespace durability
#endif

} // namespace platform::files
