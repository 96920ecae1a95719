#include "platform/system/files.h"

#include "platform/core/runtimeerror.h"

#include <QDir>
#include <QUuid>

#include <optional>

#include <windows.h>

namespace platform::files {

namespace {

// The path as Windows takes it; a name Windows can't carry is a bad file name.
std::wstring native(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw RuntimeError(ErrBadFileName);
    return QDir::toNativeSeparators(path).toStdWString();
}

[[noreturn]] void raiseLastError()
{
    throw errorFromWindowsError(GetLastError());
}

RuntimeError notARegularFile(const QString &path)
{
    return RuntimeError(ErrPathFileAccess, QStringLiteral("Not a regular file: ") + path);
}

DWORD attributesOf(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str());
}

bool isRegular(DWORD attributes)
{
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT));
}

// A name beside path that nothing else uses.
std::wstring beside(const std::wstring &path, const wchar_t *purpose)
{
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(12);
    return path + L'.' + purpose + L'-' + tag.toStdWString();
}

void writeAll(HANDLE file, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, DWORD(left), &written, nullptr))
            raiseLastError();
        data += written;
        left -= written;
    }
}

// Moves source over destination in one step. A destination that is a
// running program can't be replaced but can be renamed: it is moved aside
// first and put back when the move fails.
bool moveOver(const std::wstring &source, const std::wstring &destination)
{
    constexpr DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(source.c_str(), destination.c_str(), flags))
        return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
        return false;
    const std::wstring aside = beside(destination, L"old");
    if (!MoveFileExW(destination.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
        SetLastError(error);
        return false;
    }
    if (!MoveFileExW(source.c_str(), destination.c_str(), flags)) {
        const DWORD moveError = GetLastError();
        MoveFileExW(aside.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH);
        SetLastError(moveError);
        return false;
    }
    // The old program may still run: it then stays aside, hidden.
    if (!DeleteFileW(aside.c_str()))
        SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return true;
}

// Deletes what earlier replacements of destination left aside, hidden,
// while the old program still ran; one that still runs stays for a later run.
void removeOldCopies(const std::wstring &destination)
{
    const std::wstring folder = destination.substr(0, destination.find_last_of(L"\\") + 1);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((destination + L".old-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        const std::wstring tag = name.substr(name.rfind(L".old-") + 5);
        const bool ours = tag.size() == 12 && (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)
                          && isRegular(found.dwFileAttributes);
        if (ours)
            DeleteFileW((folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The file's data on disk before anything names it; and how many names it
// has. Nothing when it can't be opened for that.
std::optional<DWORD> flushAndCountNames(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = FlushFileBuffers(file) && GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return known ? std::optional<DWORD>(info.nNumberOfLinks) : std::nullopt;
}

// Raises the error of a failed move; a missing entry on the way is the
// destination's folder.
[[noreturn]] void raiseForDestination(DWORD error)
{
    throw errorFromWindowsError(error == ERROR_FILE_NOT_FOUND ? DWORD(ERROR_PATH_NOT_FOUND) : error);
}

} // namespace

void appendLine(const QString &path, const QString &text)
{
    const HANDLE file = CreateFileW(native(path).c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // As on Linux, a log in a missing folder is a file not found.
        const DWORD error = GetLastError();
        throw errorFromWindowsError(error == ERROR_PATH_NOT_FOUND ? DWORD(ERROR_FILE_NOT_FOUND) : error);
    }
    try {
        writeAll(file, text.toLocal8Bit() + "\r\n");
    } catch (...) {
        CloseHandle(file);
        throw;
    }
    if (!CloseHandle(file))
        raiseLastError();
}

void remove(const QString &path)
{
    const std::wstring name = native(path);
    requireRegularFileOrNothing(path);
    if (!DeleteFileW(name.c_str()))
        raiseLastError();
}

void requireRegularFileOrNothing(const QString &path)
{
    const DWORD attributes = attributesOf(native(path));
    if (attributes != INVALID_FILE_ATTRIBUTES && !isRegular(attributes))
        throw notARegularFile(path);
}

bool isProgramImage(QByteArrayView head)
{
    return head.startsWith("MZ");
}

bool exists(const QString &path)
{
    return !path.isEmpty() && attributesOf(QDir::toNativeSeparators(path).toStdWString()) != INVALID_FILE_ATTRIBUTES;
}

bool isOrdinaryFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const DWORD attributes = attributesOf(QDir::toNativeSeparators(path).toStdWString());
    return attributes != INVALID_FILE_ATTRIBUTES && isRegular(attributes)
        && !(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

void replace(const QString &source, const QString &destination)
{
    const std::wstring from = native(source);
    const std::wstring to = native(destination);
    WIN32_FILE_ATTRIBUTE_DATA src{};
    if (!GetFileAttributesExW(from.c_str(), GetFileExInfoStandard, &src)) {
        const DWORD error = GetLastError();
        throw errorFromWindowsError(error == ERROR_PATH_NOT_FOUND ? DWORD(ERROR_FILE_NOT_FOUND) : error);
    }
    if (!isRegular(src.dwFileAttributes))
        throw notARegularFile(source);
    const DWORD old = attributesOf(to);
    if (old != INVALID_FILE_ATTRIBUTES) {
        if (!isRegular(old))
            throw notARegularFile(destination);
        // An empty download is never the product.
        if (src.nFileSizeHigh == 0 && src.nFileSizeLow == 0)
            throw RuntimeError(ErrPathFileAccess, QStringLiteral("The new file is empty"));
        // A read-only file can't be deleted, so it isn't replaced either
        // (renaming it aside would get round that).
        if (old & FILE_ATTRIBUTE_READONLY)
            throw RuntimeError(ErrPermissionDenied);
        removeOldCopies(to);
    }
    // A file of one name (a fresh download) moves into place; one that
    // shares its storage (the read service's record, a copy placed
    // elsewhere) is copied, so that changing one never changes another.
    const std::optional<DWORD> names = flushAndCountNames(from);
    if (names == DWORD(1)) {
        if (moveOver(from, to))
            return;
        if (GetLastError() != ERROR_NOT_SAME_DEVICE)
            raiseForDestination(GetLastError());
    }
    // Copied next to the destination, then moved over it, so the old file
    // never goes missing.
    const std::wstring temp = beside(to, L"new");
    if (!CopyFileW(from.c_str(), temp.c_str(), TRUE))
        raiseForDestination(GetLastError());
    flushAndCountNames(temp);
    if (!moveOver(temp, to)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        raiseForDestination(error);
    }
    DeleteFileW(from.c_str());
}

void writeWhole(const QString &path, const QByteArray &data)
{
    const std::wstring to = native(path);
    const DWORD old = attributesOf(to);
    if (old != INVALID_FILE_ATTRIBUTES && !isRegular(old))
        throw notARegularFile(path);
    const std::wstring temp = beside(to, L"new");
    const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        raiseForDestination(GetLastError());
    try {
        writeAll(file, data);
        if (!FlushFileBuffers(file))
            raiseLastError();
    } catch (...) {
        CloseHandle(file);
        DeleteFileW(temp.c_str());
        throw;
    }
    CloseHandle(file);
    if (!MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        raiseForDestination(error);
    }
}

} // namespace platform::files
