#include "platform/system/files.h"

#include "platform/core/runtimeerror.h"
#include "platform/system/process.h"

#include <QFile>
#include <QFileInfo>

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
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

// Closes a descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Closes it now, raising what close says.
    void close()
    {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0)
            raiseErrno();
    }

private:
    int m_fd;
};

durability::Observer &observer()
{
    static durability::Observer instance;
    return instance;
}

void observe(const char *step, const QByteArray &path)
{
    if (observer())
        observer()(QLatin1String(step), QFile::decodeName(path));
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// The data on disk before anything names the file: a power cut then finds
// the old file or the whole new one.
void syncFile(int fd, const QByteArray &path)
{
    if (::fsync(fd) != 0)
        raiseErrno();
    observe("sync", path);
}

// A rename is durable once the folder that holds it is synced.
void syncFolderOf(const QByteArray &path)
{
    const QByteArray folder = folderOf(path);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        raiseErrno();
    const int synced = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems can't sync a folder; their renames are as durable as they get.
    if (synced != 0 && err != EINVAL && err != ENOTSUP)
        throw errorFromErrno(err);
    observe("sync folder", folder);
}

void renameOver(const QByteArray &from, const QByteArray &to)
{
    if (::rename(from.constData(), to.constData()) != 0)
        raiseErrnoForDestination();
    observe("rename", to);
}

// The prefix of this process's temporary files beside a destination; the
// process id tells a later run whether their owner still lives.
const QByteArray kTemporaryPrefix = ".~update-";

QByteArray temporaryBeside(const QByteArray &destination)
{
    return folderOf(destination) + '/' + kTemporaryPrefix + QByteArray::number(::getpid()) + "-XXXXXX";
}

// Removes the temporaries that runs which died while placing left in the
// destination's folder; a living process's stay.
void removeDeadTemporaries(const QByteArray &destination)
{
    const QDir folder(QFile::decodeName(folderOf(destination)));
    const QStringList names =
        folder.entryList({QString::fromLatin1(kTemporaryPrefix) + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        bool number = false;
        const qint64 owner = name.mid(kTemporaryPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&number);
        if (!number || process::isRunning(owner))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st{};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.constData());
    }
}

// Copies what is in `in` to `out`: in the kernel where it can, else
// through a buffer (another file system on an older kernel).
void copyData(int in, int out)
{
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, &offset, out, nullptr, 1 << 30, 0);
        if (n == 0)
            return;
        if (n > 0 || errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            raiseErrno();
        break;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::pread(in, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseErrno();
        if (n == 0)
            return;
        writeAll(out, buffer, size_t(n));
        offset += n;
    }
}

// Copies the open source into a new temporary beside destination, synced,
// and returns its path: a clone of the source's blocks where the file
// system shares them copy-on-write, else the kernel's copy.
QByteArray copyBeside(int in, const QByteArray &destination, mode_t mode)
{
    QByteArray temp = temporaryBeside(destination);
    Descriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.get() < 0)
        raiseErrnoForDestination();
    try {
        if (::ioctl(out.get(), FICLONE, in) != 0)
            copyData(in, out.get());
        if (::fchmod(out.get(), mode) != 0)
            raiseErrno();
        syncFile(out.get(), temp);
        out.close();
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    return temp;
}

// Whether the open file's first bytes make it a program.
bool isProgramDescriptor(int fd)
{
    char head[4];
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    return n > 0 && isProgramImage(QByteArrayView(head, n));
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
    // Never through a link: what is moved, changed and placed is the
    // download itself, not a file a link in the cache points to.
    Descriptor in(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0 && errno == ELOOP)
        throw notARegularFile(source);
    if (in.get() < 0)
        raiseErrno();
    struct stat src{};
    if (::fstat(in.get(), &src) != 0)
        raiseErrno();
    if (!S_ISREG(src.st_mode))
        throw notARegularFile(source);
    mode_t mode = 0;
    struct stat old{};
    const bool placed = ::lstat(to.constData(), &old) == 0;
    if (placed) {
        if (!S_ISREG(old.st_mode))
            throw notARegularFile(destination);
        // An empty download is never the product.
        if (src.st_size == 0)
            throw RuntimeError(ErrPathFileAccess, QStringLiteral("The new file is empty"));
        mode = old.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = newFileMode(isProgramDescriptor(in.get()));
    } else {
        raiseErrnoForDestination();
    }
    if (placed && old.st_dev == src.st_dev && old.st_ino == src.st_ino) {
        // Another name of the same file: rename() would keep both names.
        if (::unlink(from.constData()) != 0)
            raiseErrno();
        return;
    }
    removeDeadTemporaries(to);
    // A file of one name (a fresh download) moves into place. One that
    // shares its storage (with the cache's kept record, or with a copy
    // placed elsewhere) is copied, so that changing one never changes
    // another; so is one on another file system.
    if (src.st_nlink == 1 && ::fchmod(in.get(), mode) == 0) {
        syncFile(in.get(), from);
        if (::rename(from.constData(), to.constData()) == 0) {
            observe("rename", to);
            syncFolderOf(to);
            return;
        }
        if (errno != EXDEV)
            raiseErrnoForDestination();
    }
    const QByteArray temp = copyBeside(in.get(), to, mode);
    try {
        renameOver(temp, to);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    syncFolderOf(to);
    ::unlink(from.constData());
}

void writeWhole(const QString &path, const QByteArray &data)
{
    const QByteArray to = native(path);
    struct stat old{};
    if (::lstat(to.constData(), &old) == 0 && !S_ISREG(old.st_mode))
        throw notARegularFile(path);
    QByteArray temp = temporaryBeside(to);
    Descriptor out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.get() < 0)
        raiseErrnoForDestination();
    try {
        writeAll(out.get(), data.constData(), size_t(data.size()));
        if (::fchmod(out.get(), newFileMode(false)) != 0)
            raiseErrno();
        syncFile(out.get(), temp);
        out.close();
        renameOver(temp, to);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    syncFolderOf(to);
}

namespace durability {

void setObserver(Observer observer)
{
    files::observer() = std::move(observer);
}

} // namespace durability

} // namespace platform::files
