// The file operations where Linux has what Windows hasn't: FIFOs and
// devices, permission bits, hard links, a second file system.

#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"
#include "tests/support/filecontent.h"
#include "tests/support/runtimeerrorof.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::readBytes;
using testsupport::runtimeErrorOf;
using testsupport::writeBytes;
namespace files = platform::files;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st{};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

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

TEST(Files, WhatIsNoRegularFileIsNeverRemovedOrReplaced)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("src"), "x");
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    try {
        files::remove(fifo);
        ADD_FAILURE() << "a FIFO was removed";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.description(), "Not a regular file: " + fifo);
    }
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(dir.filePath("src"), fifo); }), 75);
    struct stat st{};
    EXPECT_TRUE(stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QFileInfo(dir.filePath("src")).isFile());
}

TEST(Files, AFullDiskReadsDiskFull)
{
    EXPECT_EQ(runtimeErrorOf([] { files::appendLine("/dev/full", "x"); }), 61);
    EXPECT_EQ(platform::errorFromErrno(EDQUOT).description(), "Disk full");
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

TEST(Files, ReplaceLeavesTheSourcesOtherNamesAsTheyAre)
{
    QTemporaryDir dir;
    const QString from = dir.filePath("download.tmp");
    const QString record = dir.filePath("record");
    const QString placedElsewhere = dir.filePath("placed");
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(from, "new");
    chmod(QFile::encodeName(from).constData(), 0644);
    ASSERT_EQ(link(QFile::encodeName(from).constData(), QFile::encodeName(record).constData()), 0);
    ASSERT_EQ(link(QFile::encodeName(from).constData(), QFile::encodeName(placedElsewhere).constData()), 0);
    writeBytes(to, "old");
    chmod(QFile::encodeName(to).constData(), 0750);
    files::replace(from, to);
    EXPECT_EQ(readBytes(to), QByteArray("new"));
    EXPECT_EQ(modeOf(to), mode_t(0750));
    EXPECT_EQ(modeOf(placedElsewhere), mode_t(0644));
    EXPECT_FALSE(QFileInfo::exists(from));

    // Placed where another name of it already is: only the source's name goes.
    ASSERT_EQ(link(QFile::encodeName(record).constData(), QFile::encodeName(from).constData()), 0);
    files::replace(from, placedElsewhere);
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(readBytes(placedElsewhere), QByteArray("new"));
}

TEST(Files, ANewFileIsPlacedAsAProgramOnlyWhenItIsOne)
{
    QTemporaryDir dir;
    const QList<QPair<QByteArray, mode_t>> cases = {
        {"\x7f" "ELF\x02\x01\x01", 0755}, {"#!/bin/sh\necho\n", 0755}, {"read me", 0644}, {"", 0644}};
    const mode_t mask = umask(022);
    for (const auto &[content, mode] : cases) {
        writeBytes(dir.filePath("download.tmp"), content);
        const QString placed = dir.filePath(QString::number(mode, 8) + QString::number(content.size()));
        files::replace(dir.filePath("download.tmp"), placed);
        EXPECT_EQ(modeOf(placed), mode) << content.constData();
    }
    umask(mask);
}

TEST(Files, ProgramsAreToldByTheirFirstBytes)
{
    for (const char *program : {"\x7f" "ELF", "\x7f" "ELF\x02\x01", "#!", "#!/bin/sh\n"})
        EXPECT_TRUE(files::isProgramImage(program)) << program;
    for (const char *other : {"", "\x7f" "EL", "ELF", "#", " #!/bin/sh", "MZ\x90", "%PDF-1.7", "read me"})
        EXPECT_FALSE(files::isProgramImage(other)) << other;
}

// A download that shares its storage with another name (the read
// service's record): replace() copies it beside the destination, as it does
// one on another file system, on any machine.
class CopiedReplace : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(from, QByteArray(200000, 'n'));
        ASSERT_EQ(::link(QFile::encodeName(from).constData(), QFile::encodeName(record).constData()), 0);
        writeBytes(to, old);
    }

    QTemporaryDir cache;
    QTemporaryDir dir;
    const QString from = cache.filePath("download.tmp");
    const QString record = cache.filePath("record");
    const QString to = dir.filePath("tarnwick.exe");
    const QByteArray old = QByteArray(50000, 'o');
};

TEST_F(CopiedReplace, CopiesBesideTheDestinationThenRenames)
{
    files::replace(from, to);
    EXPECT_EQ(readBytes(to), QByteArray(200000, 'n'));
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left behind";
    writeBytes(record, "changed");
    EXPECT_EQ(readBytes(to), QByteArray(200000, 'n')) << "the placed file shares nothing with the record";
}

TEST_F(CopiedReplace, ACopyThatFailsLeavesTheOldFileWhole)
{
    // A child whose files may not grow past 64 KiB: the copy beside the old
    // file fails part way (EFBIG), as it would on a full disk.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(runtimeErrorOf([&] { files::replace(from, to); }));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0) << "the replace failed";
    EXPECT_EQ(readBytes(to), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tarnwick.exe"})
        << "the hidden copy is gone";
    EXPECT_TRUE(QFileInfo::exists(from));
}

TEST(Files, AReplacementIsDurableInOrder)
{
    // Data synced before the new file takes the old one's name, the folder
    // after: a power cut leaves one file or the other, whole.
    QTemporaryDir dir;
    QTemporaryDir cache;
    QStringList steps;
    files::durability::setObserver([&](const QString &step, const QString &path) {
        steps << step + " " + QFileInfo(path).fileName();
    });
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(to, "old");
    writeBytes(cache.filePath("fresh"), "fresh download");
    files::replace(cache.filePath("fresh"), to);
    const QStringList moved = steps;
    steps.clear();
    writeBytes(cache.filePath("shared"), "kept copy");
    ASSERT_EQ(::link(QFile::encodeName(cache.filePath("shared")).constData(),
                     QFile::encodeName(cache.filePath("record")).constData()),
              0);
    files::replace(cache.filePath("shared"), to);
    files::durability::setObserver({});

    const QString folder = QFileInfo(dir.path()).fileName();
    EXPECT_EQ(moved, (QStringList{"sync fresh", "rename tarnwick.exe", "sync folder " + folder}));
    ASSERT_EQ(steps.size(), 3);
    EXPECT_TRUE(steps[0].startsWith("sync .~update-")) << qPrintable(steps[0]);
    EXPECT_EQ(steps.mid(1), (QStringList{"rename tarnwick.exe", "sync folder " + folder}));
}

TEST(Files, NothingIsFollowedThroughALinkAndDeadRunsTemporariesGo)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath("victim");
    writeBytes(victim, "secret");
    ::chmod(QFile::encodeName(victim).constData(), 0600);
    const QString linkToVictim = dir.filePath("download");
    ASSERT_TRUE(QFile::link(victim, linkToVictim));
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(to, "old");
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(linkToVictim, to); }), 75) << "a link as the download";
    writeBytes(dir.filePath("new"), "new");
    ASSERT_TRUE(QFile::link(victim, dir.filePath("linked.exe")));
    EXPECT_EQ(runtimeErrorOf([&] { files::replace(dir.filePath("new"), dir.filePath("linked.exe")); }), 75)
        << "a link as the destination";
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(victim).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(readBytes(victim), "secret");

    // A temporary of a process that no longer runs goes; a living one's stays.
    const QString dead = dir.filePath(".~update-2147480000-AbCdEf");
    const QString live = dir.filePath(QStringLiteral(".~update-%1-GhIjKl").arg(::getpid()));
    writeBytes(dead, "left by a killed run");
    writeBytes(live, "being written");
    files::replace(dir.filePath("new"), to);
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(live));
}
