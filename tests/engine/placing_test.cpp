#include "enginefixture.h"

#include "update/engine/placement.h"

#include <QFileInfo>
#include <sys/stat.h>

using namespace enginetest;
using testsupport::HttpResponse;

namespace {

class PlacingTest : public EngineTest {
protected:
    PlacingTest()
    {
        QDir().mkpath(dir.filePath("app"));
        server.serve("/local/tarnwick.exe", HttpResponse::ok("new product"));
        server.serve("/docs/readme.txt", HttpResponse::ok("read me", "text/plain"));
    }

    void run(const QString &path, const QString &location)
    {
        control.setDownloadFile(server.url(path));
        control.setDownloadLocation(location);
        raised.clear();
        control.RunUpdate();
        lines = log();
        copy = cachePathIn(lines, server.url(path));
    }

    QStringList lines;
    QString copy;
};

TEST_F(PlacingTest, TheNewFileReplacesTheOldOneAndKeepsItsPermissions)
{
    const QString old = dir.filePath("app/tarnwick.exe");
    writeFile(old, "old product");
    ASSERT_EQ(::chmod(QFile::encodeName(old).constData(), 0640), 0);
    control.setAutoRun(true);

    // A folder that exists, named without the trailing separator.
    run("/local/tarnwick.exe", dir.filePath("app"));

    // Not a program: handed to the desktop, and logged whatever came of it.
    EXPECT_EQ(lines.mid(lines.size() - 4), (QStringList{"File moved to " + old, "Download Complete",
                                                        "Executed " + old, "Download process completed"}));
    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_EQ(readFile(old), "new product");
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(old).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(PlacingTest, ALocationWhereNothingExistsIsTheFilesOwnPath)
{
    const QString target = dir.filePath("app/notes");
    run("/docs/readme.txt", target);

    EXPECT_EQ(readFile(target), "read me");
    EXPECT_FALSE(QFile::exists(dir.filePath("app/readme.txt")));
    EXPECT_EQ(lines.mid(lines.size() - 3),
              (QStringList{"File moved to " + target, "Download Complete", "Download process completed"}));
    // A new file may be a program that the control starts.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u & ~mask);
}

TEST_F(PlacingTest, AFailedMoveIsReportedAndLeavesTheOldFileInPlace)
{
    // Names an existing plain file: the name is appended and the move fails.
    const QString plain = dir.filePath("app/tarnwick.exe");
    writeFile(plain, "old product");
    run("/local/tarnwick.exe", plain);

    const QString fromTo = "Error moving file from " + copy + " to " + plain;
    ASSERT_EQ(raised.size(), 1);
    EXPECT_TRUE(raised[0].startsWith(fromTo + " - ")) << qPrintable(raised[0]);
    EXPECT_EQ(boxes.texts(), QStringList{fromTo});
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{raised[0], "Download process completed"}));
    EXPECT_EQ(readFile(plain), "old product");
    EXPECT_TRUE(QFile::exists(copy)) << "the fetched copy is not lost either";
}

TEST(Placement, FileNameFromPathKeepsOnlyTheLastComponent)
{
    EXPECT_EQ(FileNameFromPath("http://host/local/tarnwick.exe"), "tarnwick.exe");
    EXPECT_EQ(FileNameFromPath("http://host/a\\b/c.exe"), "c.exe") << "the later separator wins";
    EXPECT_EQ(FileNameFromPath("http://host/a/b\\c.exe"), "c.exe");
    EXPECT_EQ(FileNameFromPath("C:\\Program Files\\x.exe"), "x.exe");
    EXPECT_EQ(FileNameFromPath("plain.exe"), "plain.exe");
    EXPECT_EQ(FileNameFromPath("http://host/dir/"), "");
    EXPECT_EQ(FileNameFromPath("http://host/..\\..\\etc\\passwd"), "passwd");
}

TEST(Placement, DestinationRules)
{
    EXPECT_EQ(destinationPath("/opt/app/", "t.exe", false), "/opt/app/t.exe") << "whether or not it exists";
    EXPECT_EQ(destinationPath("/opt/app/", "t.exe", true), "/opt/app/t.exe");
    EXPECT_EQ(destinationPath("/opt/app", "t.exe", true), "/opt/app/t.exe");
    EXPECT_EQ(destinationPath("/opt/app/new.exe", "t.exe", false), "/opt/app/new.exe");
    EXPECT_EQ(destinationPath("/opt/app", "", true), "/opt/app/") << "a folder path: the move then fails";
    EXPECT_EQ(destinationPath("/opt/app\\", "t.exe", false), "/opt/app\\") << "only '/' marks a folder here";
}

} // namespace
