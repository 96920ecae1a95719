#include "platform/system/files.h"

#include "platform/core/runtimeerror.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::files {

namespace {

QByteArray native(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        throw RuntimeError(ErrBadFileName);
    return QFile::encodeName(path);
}

[[noreturn]] void raiseErrno()
{
    throw errorFromErrno(errno);
}

// Raises the error of a failed operation on the destination side, where a
// missing entry means its folder is missing.
[[noreturn]] void raiseErrnoForDestination()
{
    if (errno == ENOENT)
        throw RuntimeError(ErrPathNotFound);
    raiseErrno();
}

RuntimeError notARegularFile(const QString &path)
{
    return RuntimeError(ErrPathFileAccess, QStringLiteral("Not a regular file: ") + path);
}

mode_t newFileMode(bool program)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return (program ? 0755 : 0644) & ~mask;
}

// Writes all of buffer to fd, retrying short writes.
void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseErrno();
        }
        data += n;
        size -= size_t(n);
    }
}

// Copies source into a new hidden file beside destination and returns its path.
QByteArray copyBeside(const QByteArray &source, const QByteArray &destination, mode_t mode)
{
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        raiseErrno();
    QByteArray dir = destination.left(destination.lastIndexOf('/') + 1);
    QByteArray temp = dir + ".~update-XXXXXX";
    const int out = ::mkstemp(temp.data());
    if (out < 0) {
        const int err = errno;
        ::close(in);
        errno = err;
        raiseErrnoForDestination();
    }
    try {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                raiseErrno();
            }
            if (n == 0)
                break;
            writeAll(out, buffer, size_t(n));
        }
        if (::fchmod(out, mode) != 0 || ::fsync(out) != 0)
            raiseErrno();
    } catch (...) {
        ::close(in);
        ::close(out);
        ::unlink(temp.constData());
        throw;
    }
    ::close(in);
    if (::close(out) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        throw errorFromErrno(err);
    }
    return temp;
}

} // namespace

void appendLine(const QString &path, const QString &text)
{
    const QByteArray name = native(path);
    // A FIFO without a reader fails with ENXIO at once; one whose reader is
    // slow fails with EAGAIN. Either way the caller goes on. A terminal is
    // written to without becoming the program's controlling terminal.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0)
        raiseErrno();
    const QByteArray line = text.toLocal8Bit() + "\r\n";
    try {
        writeAll(fd, line.constData(), size_t(line.size()));
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        raiseErrno();
}

void remove(const QString &path)
{
    const QByteArray name = native(path);
    requireRegularFileOrNothing(path);
    if (::unlink(name.constData()) != 0)
        raiseErrno();
}

void requireRegularFileOrNothing(const QString &path)
{
    struct stat st{};
    if (::stat(native(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        throw notARegularFile(path);
}

bool isProgramImage(QByteArrayView head)
{
    return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

bool exists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool isOrdinaryFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return !QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
}

void replace(const QString &source, const QString &destination)
{
    const QByteArray from = native(source);
    const QByteArray to = native(destination);
    struct stat src{};
    if (::stat(from.constData(), &src) != 0)
        raiseErrno();
    if (!S_ISREG(src.st_mode))
        throw notARegularFile(source);
    mode_t mode = 0;
    struct stat old{};
    const bool placed = ::stat(to.constData(), &old) == 0;
    if (placed) {
        if (!S_ISREG(old.st_mode))
            throw notARegularFile(destination);
        // An empty download is never the product.
        if (src.st_size == 0)
            throw RuntimeError(ErrPathFileAccess, QStringLiteral("The new file is empty"));
        mode = old.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = newFileMode(isProgramFile(source));
    } else {
        raiseErrnoForDestination();
    }
    if (placed && old.st_dev == src.st_dev && old.st_ino == src.st_ino) {
        // Another name of the same file: rename() would keep both names.
        if (::unlink(from.constData()) != 0)
            raiseErrno();
        return;
    }
    // The read service keeps one name of a download it hands out (its
    // record); a further name is a file placed elsewhere, whose permission
    // bits must not change with this one's: then this one is copied.
    if (src.st_nlink <= 2 || (src.st_mode & 07777) == mode) {
        if (::chmod(from.constData(), mode) == 0 && ::rename(from.constData(), to.constData()) == 0)
            return;
        if (errno != EXDEV && errno != EPERM)
            raiseErrnoForDestination();
    }
    // Another file system, a source we may not change or one that shares its
    // bits: copy next to the destination, then rename over it so the old
    // file never goes missing.
    const QByteArray temp = copyBeside(from, to, mode);
    if (::rename(temp.constData(), to.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        errno = err;
        raiseErrnoForDestination();
    }
    ::unlink(from.constData());
}

} // namespace platform::files
