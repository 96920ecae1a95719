#include "enginefixture.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QFileInfo>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace enginetest;
using testsupport::HttpResponse;

namespace {

mode_t umaskNow()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

mode_t modeOf(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Stands in for the desktop's opener of local files while it lives, and
// notes what it was asked to open.
class DesktopOpener : public QObject {
    Q_OBJECT

public:
    DesktopOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~DesktopOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class Placing : public EngineTest {
protected:
    Placing()
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

TEST_F(Placing, TheNewFileReplacesTheOldOneAndKeepsItsPermissions)
{
    const QString old = dir.filePath("app/tarnwick.exe");
    writeFile(old, "old product");
    ASSERT_EQ(::chmod(QFile::encodeName(old).constData(), 0750), 0);
    DesktopOpener desktop;
    control.setAutoRun(true);

    // A folder that exists, named without the trailing separator.
    run("/local/tarnwick.exe", dir.filePath("app"));

    // Not a program, whatever its mode: handed to the desktop, and logged.
    EXPECT_EQ(lines.mid(lines.size() - 4), (QStringList{"File moved to " + old, "Download Complete",
                                                        "Executed " + old, "Download process completed"}));
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(old)});
    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_EQ(testsupport::readBytes(old), "new product");
    EXPECT_EQ(modeOf(old), 0750u);
    EXPECT_FALSE(QFile::exists(copy));
}

TEST_F(Placing, ALocationWhereNothingExistsIsTheFilesOwnPath)
{
    const QString target = dir.filePath("app/notes");
    run("/docs/readme.txt", target);

    EXPECT_EQ(testsupport::readBytes(target), "read me");
    EXPECT_FALSE(QFile::exists(dir.filePath("app/readme.txt")));
    EXPECT_EQ(lines.mid(lines.size() - 3),
              (QStringList{"File moved to " + target, "Download Complete", "Download process completed"}));
    EXPECT_EQ(modeOf(target), 0644u & ~umaskNow()) << "not a program";
}

TEST_F(Placing, ANewProgramRunsInTheHostsWorkingDirectoryAndADocumentGoesToTheDesktop)
{
    const QString script = "#!/bin/sh\npwd > '" + dir.filePath("cwd.txt") + "'\n";
    server.serve("/local/setup.sh", HttpResponse::ok(script.toUtf8()));
    DesktopOpener desktop;
    control.setAutoRun(true);

    run("/local/setup.sh", dir.filePath("app/"));
    const QString program = dir.filePath("app/setup.sh");
    EXPECT_EQ(modeOf(program), 0755u & ~umaskNow());
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"Executed " + program, "Download process completed"}));
    ASSERT_TRUE(testsupport::poll([&] { return !testsupport::readBytes(dir.filePath("cwd.txt")).isEmpty(); }, 10000));
    EXPECT_EQ(testsupport::readBytes(dir.filePath("cwd.txt")), QDir::current().canonicalPath().toUtf8() + "\n");

    run("/docs/readme.txt", dir.filePath("app/"));
    const QString document = dir.filePath("app/readme.txt");
    EXPECT_EQ(modeOf(document), 0644u & ~umaskNow());
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(document)});
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"Executed " + document, "Download process completed"}));
    EXPECT_EQ(raised, QStringList{"Download Complete"});
}

TEST_F(Placing, AFailedMoveIsReportedLeavesTheOldFileAndCleansTheCache)
{
    const QString old = dir.filePath("app/tarnwick.exe");
    writeFile(old, "old product");
    struct Case {
        QString location;
        QString description;
    };
    const QList<Case> cases = {
        // Names an existing plain file: the name is appended and the move fails.
        {old, "Path not found"},
        {dir.filePath("app/missing/"), "Path not found"},
    };
    for (const Case &c : cases) {
        const qsizetype boxesBefore = boxes.shown().size();
        run("/local/tarnwick.exe", c.location);
        const QString fromTo = "Error moving file from " + copy + " to " + c.location;
        EXPECT_EQ(raised, QStringList{fromTo + " - " + c.description});
        EXPECT_EQ(boxes.texts().mid(boxesBefore), QStringList{fromTo});
        EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{raised.value(0), "Download process completed"}));
        EXPECT_EQ(testsupport::readBytes(old), "old product");
        EXPECT_FALSE(QFile::exists(copy)) << "what could not be placed leaves the cache";
    }
}

TEST_F(Placing, TwoRunsOfOneAddressAtOnceBothPlaceTheCopyFromTheCache)
{
    HttpResponse product = HttpResponse::ok("new product");
    product.etag = "\"p1\"";
    server.serve("/local/tarnwick.exe", product);
    run("/local/tarnwick.exe", dir.filePath("app/"));
    // Another control on the same cache runs in full while this one holds
    // its copy, both answered 304.
    ctlWebUpdate other;
    other.findChild<platform::AsyncRead *>()->setCacheFolder(dir.filePath("cache"));
    other.setDownloadFile(server.url("/local/tarnwick.exe"));
    other.setDownloadLocation(dir.filePath("other/"));
    QDir().mkpath(dir.filePath("other"));
    QObject::connect(read(), &platform::AsyncRead::completed, &other, [&] { other.RunUpdate(); },
                     Qt::SingleShotConnection);

    run("/local/tarnwick.exe", dir.filePath("app/"));

    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_EQ(server.hits("/local/tarnwick.exe"), 3);
    EXPECT_EQ(server.requests().last().header("If-None-Match"), "\"p1\"");
    EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), "new product");
    EXPECT_EQ(testsupport::readBytes(dir.filePath("other/tarnwick.exe")), "new product");
    QDirIterator kept(dir.filePath("cache"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList files;
    while (kept.hasNext())
        files << QFileInfo(kept.next()).fileName();
    EXPECT_EQ(files.filter("tarnwick.exe"), QStringList{"tarnwick.exe"}) << "only the record stays";
}

TEST_F(Placing, APlacedFileSharesItsStorageWithNothing)
{
    HttpResponse product = HttpResponse::ok("new product");
    product.etag = "\"p1\"";
    server.serve("/local/tarnwick.exe", product);
    run("/local/tarnwick.exe", dir.filePath("app/"));
    QDir().mkpath(dir.filePath("other"));
    run("/local/tarnwick.exe", dir.filePath("other/"));
    ASSERT_EQ(server.requests().last().header("If-None-Match"), "\"p1\"") << "the second placed the kept copy";

    // A placed document opened and saved in place.
    QFile placed(dir.filePath("app/tarnwick.exe"));
    ASSERT_TRUE(placed.open(QIODevice::ReadWrite));
    placed.write("edited");
    placed.close();

    EXPECT_EQ(testsupport::readBytes(dir.filePath("other/tarnwick.exe")), "new product");
    QDir().mkpath(dir.filePath("third"));
    run("/local/tarnwick.exe", dir.filePath("third/"));
    EXPECT_EQ(testsupport::readBytes(dir.filePath("third/tarnwick.exe")), "new product")
        << "the cache's copy is still the server's";
}

TEST_F(Placing, AnEmptyDownloadNeverReplacesAFile)
{
    server.serve("/local/tarnwick.exe", HttpResponse::ok(""));
    const QString old = dir.filePath("app/tarnwick.exe");
    writeFile(old, "old product");
    run("/local/tarnwick.exe", dir.filePath("app/"));
    EXPECT_EQ(raised,
              QStringList{"Error moving file from " + copy + " to " + dir.filePath("app/") + " - The new file is empty"});
    EXPECT_EQ(testsupport::readBytes(old), "old product");
    EXPECT_FALSE(QFile::exists(copy));

    // Where nothing is, an empty file is placed like any other.
    QFile::remove(old);
    run("/local/tarnwick.exe", dir.filePath("app/"));
    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_TRUE(QFileInfo(old).isFile());
}

TEST_F(Placing, ALogThatIsNoFileIsWrittenWithoutBlockingAndKept)
{
    const QString fifo = dir.filePath("log.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A device: /dev/null's own numbers in a folder of the test's, made where
    // the test may make devices.
    const QString device = dir.filePath("null");
    const bool ownDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const QString null = ownDevice ? device : QStringLiteral("/dev/null");

    const auto runWithLog = [&](const QString &log) {
        SCOPED_TRACE(qPrintable(log));
        writeFile(dir.filePath("app/tarnwick.exe"), "old product");
        control.setLogFilename(log);
        control.setDownloadFile(server.url("/local/tarnwick.exe"));
        control.setDownloadLocation(dir.filePath("app/"));
        raised.clear();
        control.RunUpdate();
        EXPECT_EQ(raised, QStringList{"Download Complete"});
        EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), "new product");
    };
    runWithLog(fifo); // no reader: no line
    runWithLog(null);
    struct stat st{};
    EXPECT_TRUE(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_TRUE(::stat(QFile::encodeName(null).constData(), &st) == 0 && S_ISCHR(st.st_mode));

    // With a reader, the FIFO carries the run's lines.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    runWithLog(fifo);
    char buffer[65536];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    const QString text = QString::fromUtf8(buffer, qMax<ssize_t>(n, 0));
    EXPECT_TRUE(text.contains("  Download process started\r\n")) << qPrintable(text);
    EXPECT_TRUE(text.endsWith("  Download process completed\r\n")) << qPrintable(text);
    EXPECT_TRUE(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

} // namespace

#include "ctlwebupdate_placing_test.moc"
