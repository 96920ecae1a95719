// The file operations' promises that hold alike on every platform.

#include "platform/system/files.h"
#include "tests/support/filecontent.h"
#include "tests/support/runtimeerrorof.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::readBytes;
using testsupport::runtimeErrorOf;
using testsupport::writeBytes;
namespace files = platform::files;

TEST(Files, AppendLineEndsEveryLineInCrLfAndCreatesTheFile)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("run.log");
    files::appendLine(log, "first");
    files::appendLine(log, QString::fromUtf8("zweite Zeile \u00fc"));
#ifdef _WIN32
    const QByteArray umlaut = QString::fromUtf8("\u00fc").toLocal8Bit(); // files_win_test holds the code page
#else
    const QByteArray umlaut = "\xc3\xbc"; // the system's code page is UTF-8
#endif
    EXPECT_EQ(readBytes(log), "first\r\nzweite Zeile " + umlaut + "\r\n");
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

TEST(Files, RemoveTakesOnlyRegularFilesAndReportsMissingOnes)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("a"), "x");
    files::remove(dir.filePath("a"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("a")));
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.filePath("a")); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.path()); }), 75);
    EXPECT_TRUE(QFileInfo::exists(dir.path()));
}

TEST(Files, AFailedReplaceLeavesTheOldFileInPlace)
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
        {dir.filePath("src"), to + "/x.exe", 76},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runtimeErrorOf([&] { files::replace(c.from, c.to); }), c.error) << qPrintable(c.to);
    EXPECT_EQ(readBytes(to), QByteArray("old"));
    EXPECT_TRUE(QFileInfo(dir.filePath("src")).isFile());
    EXPECT_TRUE(QFileInfo(dir.filePath("empty")).isFile());
}
