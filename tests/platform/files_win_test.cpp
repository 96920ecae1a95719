// The file operations on Windows: the same promises as on Linux where
// Windows has the same things, and Windows' own rules where it differs (a
// running program can't be overwritten, hidden files carry an attribute,
// programs are PE images).

#include "platform/files.h"
#include "platform/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/runtimeerrorof.h"

#include <gtest/gtest.h>
#include <windows.h>

using testsupport::runtimeErrorOf;
namespace files = platform::files;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

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

TEST(FilesWindows, LinesEndInCrLfAndTheFirstLineEndsAtAnyLineEnd)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("run.log");
    files::appendLine(log, "first");
    files::appendLine(log, QString::fromUtf8("zweite Zeile \u00fc"));
    EXPECT_EQ(readBytes(log), QByteArray("first\r\nzweite Zeile \xc3\xbc\r\n"));
    EXPECT_EQ(files::readFirstLine(log), QString("first"));
    writeBytes(log, "3.0\n4.0\n");
    EXPECT_EQ(files::readFirstLine(log), QString("3.0"));
    EXPECT_EQ(runtimeErrorOf([&] { files::appendLine(dir.filePath("no/such/folder/x.log"), "x"); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { files::readFirstLine(dir.filePath("missing")); }), 53);
}

TEST(FilesWindows, RemoveTakesOnlyRegularFiles)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("a"), "x");
    files::remove(dir.filePath("a"));
    EXPECT_FALSE(QFile::exists(dir.filePath("a")));
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.filePath("a")); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.path()); }), 75);
    EXPECT_TRUE(QDir(dir.path()).exists());
}

TEST(FilesWindows, AFailedReplaceLeavesTheOldFileInPlace)
{
    QTemporaryDir dir;
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(to, "old");
    writeBytes(dir.filePath("src"), "x");
    writeBytes(dir.filePath("empty"), "");
    QDir(dir.path()).mkdir("folder");
    struct Case {
        QString from, to;
        int error;
    };
    const QList<Case> cases = {
        {dir.filePath("missing.tmp"), to, 53},
        {dir.filePath("empty"), to, 75},
        {dir.filePath("src"), dir.filePath("folder"), 75},
        {dir.filePath("src"), dir.filePath("nowhere/x.exe"), 76},
        {dir.filePath("src"), to + "\\x.exe", 76},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runtimeErrorOf([&] { files::replace(c.from, c.to); }), c.error) << qPrintable(c.to);
    EXPECT_EQ(readBytes(to), QByteArray("old"));
    EXPECT_EQ(readBytes(dir.filePath("src")), QByteArray("x"));
}

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
    }
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
