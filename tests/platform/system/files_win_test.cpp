// The file operations where Windows has its own rules: a running program
// can't be overwritten, hidden files carry an attribute, programs are PE
// images.

#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/filecontent.h"

#include <gtest/gtest.h>
#include <windows.h>

using testsupport::readBytes;
using testsupport::writeBytes;
namespace files = platform::files;

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Holds a program file the way Windows holds one that runs: mapped as an
// executable image.
class RunningImage {
public:
    explicit RunningImage(const QString &path)
    {
        m_file = CreateFileW(native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
        m_view = MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0);
    }
    ~RunningImage()
    {
        UnmapViewOfFile(m_view);
        CloseHandle(m_mapping);
        CloseHandle(m_file);
    }
    RunningImage(const RunningImage &) = delete;
    RunningImage &operator=(const RunningImage &) = delete;
    bool holds() const { return m_view != nullptr; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    void *m_view = nullptr;
};

} // namespace

TEST(FilesWindows, ARunningProgramIsReplacedByRenamingItAside)
{
    QTemporaryDir dir;
    const QString product = dir.filePath("tarnwick.exe");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + "/tarnwick-1.0.exe", product));
    writeBytes(dir.filePath("download.tmp"), "new product");
    {
        const RunningImage running(product);
        ASSERT_TRUE(running.holds());
        files::replace(dir.filePath("download.tmp"), product);
        EXPECT_EQ(readBytes(product), QByteArray("new product"));
        EXPECT_FALSE(QFile::exists(dir.filePath("download.tmp")));
        const QStringList visible = QDir(dir.path()).entryList(QDir::Files);
        EXPECT_EQ(visible, QStringList{"tarnwick.exe"}) << "the old program stays aside, hidden, while it runs";
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
    // Once it has ended, the next replacement removes it.
    writeBytes(dir.filePath("download.tmp"), "newer product");
    files::replace(dir.filePath("download.tmp"), product);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tarnwick.exe"});
}

TEST(FilesWindows, AReadOnlyFileIsNotReplaced)
{
    QTemporaryDir dir;
    const QString product = dir.filePath("tarnwick.exe");
    writeBytes(product, "old product");
    SetFileAttributesW(native(product).c_str(), FILE_ATTRIBUTE_READONLY);
    writeBytes(dir.filePath("download.tmp"), "new product");
    try {
        files::replace(dir.filePath("download.tmp"), product);
        ADD_FAILURE() << "replaced a read-only file";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 70);
        EXPECT_EQ(e.description(), "Permission denied");
    }
    EXPECT_EQ(readBytes(product), QByteArray("old product"));
    EXPECT_EQ(GetFileAttributesW(native(product).c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
    SetFileAttributesW(native(product).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FilesWindows, ProgramsArePeImagesAndHiddenOrSystemFilesAreNotOrdinary)
{
    EXPECT_TRUE(files::isProgramImage("MZ\x90"));
    for (const char *other : {"", "M", "\x7f" "ELF", "#!/bin/sh", "%PDF-1.7"})
        EXPECT_FALSE(files::isProgramImage(other)) << other;
    QTemporaryDir dir;
    for (const DWORD attribute : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM)}) {
        const QString path = dir.filePath(QString::number(attribute) + ".exe");
        writeBytes(path, "x");
        EXPECT_TRUE(files::isOrdinaryFile(path));
        SetFileAttributesW(native(path).c_str(), attribute);
        EXPECT_FALSE(files::isOrdinaryFile(path)) << attribute;
    }
}

TEST(FilesWindows, TextFilesAreInTheAnsiCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the expected bytes are code page 1252's; this system's is " << GetACP();
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8("caf\xc3\xa9")));
    const QString folder = QDir::toNativeSeparators(dir.filePath(QString::fromUtf8("caf\xc3\xa9")));
    const QString log = folder + "\\update.log";
    // A character code page 1252 lacks is written as Windows writes it: the
    // nearest one (Omega as O) or '?'.
    files::appendLine(log, "File moved to " + folder + QString::fromUtf8("\\\xe2\x82\xac\xce\xa9\xe4\xb8\xad.exe"));
    const QByteArray expected = "File moved to " + QDir::toNativeSeparators(dir.path()).toLatin1() + "\\caf\xe9\\\x80O?.exe\r\n";
    EXPECT_EQ(readBytes(log).toHex(' ').toStdString(), expected.toHex(' ').toStdString());

    writeBytes(folder + "\\version.txt", "1.0\xe9\r\n");
    EXPECT_EQ(files::readFirstLine(folder + "\\version.txt"), QString::fromUtf8("1.0\xc3\xa9"));
}
