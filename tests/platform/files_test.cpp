#include "platform/files.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include "tests/support/runtimeerrorof.h"

#include <gtest/gtest.h>

using testsupport::runtimeErrorOf;
#include <sys/stat.h>

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

mode_t modeOf(const QString &path)
{
    struct stat st{};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(Files, AppendLineEndsEveryLineInCrLfAndCreatesTheFile)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("run.log");
    files::appendLine(log, "first");
    files::appendLine(log, QString::fromUtf8("zweite Zeile \u00fc"));
    EXPECT_EQ(readBytes(log), QByteArray("first\r\nzweite Zeile \xc3\xbc\r\n"));
    EXPECT_EQ(runtimeErrorOf([&] { files::appendLine(dir.filePath("no/such/folder/x.log"), "x"); }), 53)
        << "a missing folder is File not found";
}

TEST(Files, FirstLineEndsAtCrCrLfOrLf)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("v.txt");
    writeBytes(p, "1.2 \r\n1.3\r\n");
    EXPECT_EQ(files::readFirstLine(p), QString("1.2 "));
    writeBytes(p, "2.0\r3.0");
    EXPECT_EQ(files::readFirstLine(p), QString("2.0"));
    writeBytes(p, "3.0\n4.0\n");
    EXPECT_EQ(files::readFirstLine(p), QString("3.0"));
    writeBytes(p, "no line end");
    EXPECT_EQ(files::readFirstLine(p), QString("no line end"));
    writeBytes(p, "\r\nsecond");
    EXPECT_EQ(files::readFirstLine(p), QString());
    writeBytes(p, "");
    EXPECT_EQ(runtimeErrorOf([&] { files::readFirstLine(p); }), 62);
    EXPECT_EQ(runtimeErrorOf([&] { files::readFirstLine(dir.filePath("missing")); }), 53);
}

TEST(Files, OrdinaryFilesAreRegularAndNotHidden)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("tarnwick.exe"), "x");
    writeBytes(dir.filePath(".tarnwick.exe"), "x");
    EXPECT_TRUE(files::isOrdinaryFile(dir.filePath("tarnwick.exe")));
    EXPECT_FALSE(files::isOrdinaryFile(dir.filePath(".tarnwick.exe")));
    EXPECT_FALSE(files::isOrdinaryFile(dir.path()));
    EXPECT_FALSE(files::isOrdinaryFile(dir.filePath("missing")));
    EXPECT_TRUE(files::exists(dir.path()));
    EXPECT_FALSE(files::exists(QString()));
}

TEST(Files, RemoveRefusesFoldersAndReportsMissingFiles)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("a"), "x");
    files::remove(dir.filePath("a"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("a")));
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.filePath("a")); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.path()); }), 75);
    EXPECT_TRUE(QFileInfo::exists(dir.path()));
}

TEST(Files, ReplaceSwapsTheFileAndKeepsTheOldPermissions)
{
    QTemporaryDir dir;
    const QString from = dir.filePath("download.tmp");
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(from, "new");
    writeBytes(to, "old");
    chmod(QFile::encodeName(to).constData(), 0750);
    files::replace(from, to);
    EXPECT_EQ(readBytes(to), QByteArray("new"));
    EXPECT_EQ(modeOf(to), mode_t(0750));
    EXPECT_FALSE(QFileInfo::exists(from));
}

TEST(Files, ANewFileIsPlacedAsAProgram)
{
    QTemporaryDir dir;
    const QString from = dir.filePath("download.tmp");
    writeBytes(from, "new");
    const mode_t mask = umask(022);
    files::replace(from, dir.filePath("fresh.exe"));
    umask(mask);
    EXPECT_EQ(modeOf(dir.filePath("fresh.exe")), mode_t(0755));
}

TEST(Files, AFailedReplaceLeavesTheOldFileInPlace)
{
    QTemporaryDir dir;
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(to, "old");
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(dir.filePath("missing.tmp"), to); }), 53);
    EXPECT_EQ(readBytes(to), QByteArray("old"));
    QDir(dir.path()).mkdir("folder");
    writeBytes(dir.filePath("src"), "x");
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(dir.filePath("src"), dir.filePath("folder")); }), 75);
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(dir.filePath("src"), dir.filePath("nowhere/x.exe")); }), 53);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("src")));
}

TEST(Files, ReplaceWorksAcrossFileSystems)
{
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        GTEST_SKIP() << "no second file system to move from";
    QTemporaryDir other(QStringLiteral("/dev/shm/tarnwick-test-XXXXXX"));
    QTemporaryDir dir;
    ASSERT_TRUE(other.isValid());
    const QString from = other.filePath("download.tmp");
    writeBytes(from, QByteArray(200000, 'z'));
    writeBytes(dir.filePath("tarnwick.exe"), "old");
    files::replace(from, dir.filePath("tarnwick.exe"));
    EXPECT_EQ(readBytes(dir.filePath("tarnwick.exe")), QByteArray(200000, 'z'));
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left behind";
}
