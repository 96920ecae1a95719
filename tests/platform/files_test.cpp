#include "platform/files.h"
#include "platform/runtimeerror.h"
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

TEST(Files, RemoveTakesOnlyRegularFilesAndReportsMissingOnes)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("a"), "x");
    files::remove(dir.filePath("a"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("a")));
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.filePath("a")); }), 53);
    EXPECT_EQ(runtimeErrorOf([&] { files::remove(dir.path()); }), 75);
    EXPECT_TRUE(QFileInfo::exists(dir.path()));
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    try {
        files::remove(fifo);
        ADD_FAILURE() << "a FIFO was removed";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.description(), "Not a regular file: " + fifo);
    }
    EXPECT_TRUE(QFileInfo(fifo).exists());
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

TEST(Files, AFailedReplaceLeavesTheOldFileInPlace)
{
    QTemporaryDir dir;
    const QString to = dir.filePath("tarnwick.exe");
    writeBytes(to, "old");
    writeBytes(dir.filePath("src"), "x");
    writeBytes(dir.filePath("empty"), "");
    QDir(dir.path()).mkdir("folder");
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QString from, to;
        int error;
    };
    const QList<Case> cases = {
        {dir.filePath("missing.tmp"), to, 53},
        {dir.filePath("empty"), to, 75},
        {dir.filePath("src"), dir.filePath("folder"), 75},
        {dir.filePath("src"), fifo, 75},
        {dir.filePath("src"), dir.filePath("nowhere/x.exe"), 76},
        {dir.filePath("src"), to + "/x.exe", 76},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runtimeErrorOf([&] { files::replace(c.from, c.to); }), c.error) << qPrintable(c.to);
    EXPECT_EQ(readBytes(to), QByteArray("old"));
    EXPECT_TRUE(QFileInfo(dir.filePath("src")).isFile());
    EXPECT_TRUE(QFileInfo(dir.filePath("empty")).isFile());
    struct stat st{};
    EXPECT_TRUE(stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

// A download on another file system than the product's folder.
class CrossFileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            GTEST_SKIP() << "no second file system to move from";
        ASSERT_TRUE(other.isValid());
        writeBytes(from, QByteArray(200000, 'n'));
        writeBytes(to, old);
    }

    QTemporaryDir other{QStringLiteral("/dev/shm/tarnwick-test-XXXXXX")};
    QTemporaryDir dir;
    const QString from = other.filePath("download.tmp");
    const QString to = dir.filePath("tarnwick.exe");
    const QByteArray old = QByteArray(50000, 'o');
};

TEST_F(CrossFileSystem, ReplaceCopiesBesideTheDestinationThenRenames)
{
    files::replace(from, to);
    EXPECT_EQ(readBytes(to), QByteArray(200000, 'n'));
    EXPECT_FALSE(QFileInfo::exists(from));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left behind";
}

TEST_F(CrossFileSystem, ACopyThatFailsLeavesTheOldFileWhole)
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
