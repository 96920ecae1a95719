// ctlhost scripts run as a host developer would run them: the built
// container, the registered library, a real server on loopback. On Windows
// the same scripts run under Wine, with Update.dll registered by regsvr32
// and its controls activated in place in ctlhost's window.

#include "tests/support/httptestserver.h"
#include "tests/support/programenvironment.h"
#include "tests/support/waitfor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

using testsupport::HttpResponse;
using testsupport::HttpTestServer;

namespace {

#ifdef _WIN32
const QString kLibrary = QDir::toNativeSeparators(QStringLiteral(UPDATE_LIBRARY_PATH));
const QStringList kRegister = {QStringLiteral("/s"), kLibrary};
const QStringList kUnregister = {QStringLiteral("/u"), QStringLiteral("/s"), kLibrary};
#else
// Each test registers into a registry of its own (its XDG_DATA_HOME).
const QStringList kRegister = {QStringLiteral(UPDATE_LIBRARY_PATH)};
#endif

struct Result {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

class CtlhostScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("app")));
        env = testsupport::programEnvironment(dir.filePath(QStringLiteral("xdg")));
#ifdef _WIN32
        // The controls are activated in place in real windows, on the display.
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
#else
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
#endif
        ASSERT_EQ(runProgram(QStringLiteral(REGSVR_PATH), kRegister).exitCode, 0);
    }
#ifdef _WIN32
    void TearDown() override { runProgram(QStringLiteral(REGSVR_PATH), kUnregister); }
#endif

    Result runProgram(const QString &program, const QStringList &args, const QByteArray &input = QByteArray())
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        process.write(input);
        process.closeWriteChannel();
        // The server lives in this process: keep it answering meanwhile.
        testsupport::waitFor([&] { return process.state() == QProcess::NotRunning; }, 60000);
        Result result;
        result.exitCode = process.state() == QProcess::NotRunning ? process.exitCode() : -1;
        result.lines = QString::fromUtf8(process.readAllStandardOutput())
                           .split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
        result.errors = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // Runs a script of tests/tools/scripts with @SERVER@ and @DIR@ filled in.
    Result runScript(const QString &name)
    {
        QFile file(QStringLiteral(SCRIPTS_DIR "/") + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QString script = QString::fromUtf8(file.readAll());
        script.replace(QLatin1String("@SERVER@"), server.url(QString()));
        script.replace(QLatin1String("@DIR@"), dir.path());
        const QString path = dir.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(script.toUtf8());
        out.close();
        return runProgram(QStringLiteral(CTLHOST_PATH), {path});
    }

    QTemporaryDir dir;
    QProcessEnvironment env;
    HttpTestServer server;
};

} // namespace

TEST_F(CtlhostScript, RunsAWholeUpdateAndReportsEveryEventAndBox)
{
    server.serve(QStringLiteral("/version.txt"), HttpResponse::ok("1.10\r\n", "text/plain"));
    server.serve(QStringLiteral("/local/tarnwick.exe"), HttpResponse::ok("new product"));
    const Result result = runScript(QStringLiteral("update.ctl"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.errors);
    const QString url = server.url(QStringLiteral("/local/tarnwick.exe"));
    EXPECT_EQ(result.lines,
              (QStringList{
                  "changed web 0x68030000",
                  "changed web 0x68030005",
                  "changed web 0x68030006",
                  "changed web 0x68030004",
                  "changed web 0x68030003",
                  "changed web 0x68030002",
                  "event web StatusChange \"Newer version found\"",
                  "msgbox \"qvWebUpdate\" \"A newer version is available.  Do you want to download this new version "
                  "now?\" yesno question -> yes",
                  "event web StatusChange \"Download Complete\"",
                  "web 0x68030005 = \"" + url + "\"",
                  "changed web 0x68030000",
                  "changed web 0x68030005",
                  "event web StatusChange \"No download filename specified\"",
                  "msgbox \"qvWebUpdate\" \"No download filename specified\" ok none -> ok (unscripted)",
                  "again 0x68030003 = \"1.9\"",
              }));
    QFile placed(dir.filePath(QStringLiteral("app/tarnwick.exe")));
    ASSERT_TRUE(placed.open(QIODevice::ReadOnly));
    EXPECT_EQ(placed.readAll(), QByteArray("new product"));
    QFile log(dir.filePath(QStringLiteral("update.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("  Seen by the host\r\n"))) << "the host's replacement is logged";
    EXPECT_FALSE(text.contains(QStringLiteral("Newer version found")));
    QFile saved(dir.filePath(QStringLiteral("web.json")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\"CurrentVersion\": \"1.9\""));
}

TEST_F(CtlhostScript, DrivesAProgressBarAndPicturesIt)
{
    const Result result = runScript(QStringLiteral("progressbar.ctl"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.errors);
    EXPECT_EQ(result.lines, (QStringList{
                                "changed bar 0x6803000C",
                                "changed bar 0x68030004",
                                "bar 0x68030004 = 50",
                                "error bar 0x68030003 6 \"Overflow\"",
                                "bar 0x68030003 = 3",
                                "error bar 0x6803000D 380 \"Invalid property value\"",
                            }));
    const QImage picture(dir.filePath(QStringLiteral("bar.png")));
    ASSERT_EQ(picture.size(), QSize(202, 32));
    // Inside the border: the first dot is white (the ramp's start), a dot
    // past the middle is empty background.
    EXPECT_EQ(picture.pixelColor(1 + 2, 1 + 10), QColor(255, 255, 255));
    EXPECT_EQ(picture.pixelColor(1 + 150, 1 + 3), QColor(0, 0, 0));
}

TEST_F(CtlhostScript, AnErrorRaisedByTheStatusHandlerEndsTheRunInItsTrap)
{
    const Result result = runScript(QStringLiteral("failstatus.ctl"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.errors);
    // The download's own report raises the error; the run's trap shows it
    // instead of the download's box, and RunUpdate returns without one.
    EXPECT_EQ(result.lines.mid(3),
              (QStringList{
                  "event web StatusChange \"Download error - Can't read the address \\\"nothing://here/tarnwick.exe\\\"\"",
                  "msgbox \"qvWebUpdate\" \"70 - Permission denied\" ok none -> ok",
                  "web 0x68030005 = \"nothing://here/tarnwick.exe\"",
              }));
    QFile log(dir.filePath(QStringLiteral("update.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("  Download process started")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("  70 - Permission denied"))) << qPrintable(lines[1]);
}

TEST_F(CtlhostScript, FailuresEndTheScriptWithTheirOwnStatus)
{
    const Result unknown = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                      "create x qvWebUpdate.NoSuchControl\nget x 1\n");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.errors.contains(QStringLiteral("qvWebUpdate.NoSuchControl")));
    EXPECT_TRUE(unknown.lines.isEmpty());

    // A bag the control can't restore from is its own error, by number.
    QFile bag(dir.filePath(QStringLiteral("bag.json")));
    ASSERT_TRUE(bag.open(QIODevice::WriteOnly));
    bag.write(R"({"Max": "many"})");
    bag.close();
    const Result restore = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                      "create bar qvWebUpdate.qvProgressBar " + bag.fileName().toUtf8() + "\n");
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_TRUE(restore.errors.contains(QStringLiteral(": 13 - Type mismatch"))) << qPrintable(restore.errors);

    const Result bad = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                  "# comment\n\ncreate bar qvWebUpdate.qvProgressBar\nput bar 0x68030004 \"open\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.errors.contains(QStringLiteral("line 4"))) << qPrintable(bad.errors);

    const Result noError = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                      "create web qvWebUpdate.ctlWebUpdate\nfail-status web 0\n");
    EXPECT_EQ(noError.exitCode, 2);
    EXPECT_TRUE(noError.errors.contains(QStringLiteral("line 2"))) << qPrintable(noError.errors);
}

#ifndef _WIN32
// Windows has no FIFOs in its file system.
TEST_F(CtlhostScript, SavingOverOrLoadingFromAFifoOrGrabbingOverAFolderFailsAndLeavesThem)
{
    const QString fifo = dir.filePath(QStringLiteral("settings.fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("app"));
    const Result result = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                     "create web qvWebUpdate.ctlWebUpdate\nsave web \"" + QFile::encodeName(fifo)
                                         + "\"\ngrab web \"" + QFile::encodeName(folder) + "\"\n");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.errors);
    EXPECT_EQ(result.lines, (QStringList{"error web save 75 \"Not a regular file: " + fifo + "\"",
                                         "error web grab 75 \"Path/File access error\""}));
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo::exists(fifo));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const Result load = runProgram(QStringLiteral(CTLHOST_PATH), {},
                                   "create web qvWebUpdate.ctlWebUpdate \"" + QFile::encodeName(fifo) + "\"\n");
    EXPECT_EQ(load.exitCode, 1);
    EXPECT_TRUE(load.errors.contains(QStringLiteral("75 - Not a regular file: ") + fifo)) << qPrintable(load.errors);
}
#endif

#ifndef _WIN32
TEST_F(CtlhostScript, BehavesAsAUnixToolDoes)
{
    struct Case {
        QStringList args;
        QByteArray input;
        QStringList unset;
        QString display;
        int status;
        QString out;
        QString err;
    };
    const QStringList noWindowSystem = {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("DISPLAY"),
                                        QStringLiteral("WAYLAND_DISPLAY")};
    const Case cases[] = {
        {{QStringLiteral("--help")}, {}, noWindowSystem, {}, 0, QStringLiteral("usage: ctlhost [--help | --version] [SCRIPT | -]"), {}},
        {{QStringLiteral("--version")}, {}, noWindowSystem, {}, 0, QStringLiteral("ctlhost 1.0.0"), {}},
        {{QStringLiteral("-x")}, {}, {}, {}, 2, {}, QStringLiteral("ctlhost: Unknown option 'x'.")},
        {{QStringLiteral("-")}, "create bar qvWebUpdate.qvProgressBar\nget bar 0x68030006\n", {}, {}, 0,
         QStringLiteral("bar 0x68030006 = 100"), {}},
        {{QStringLiteral("-")}, {}, noWindowSystem, {}, 3, {},
         QStringLiteral("ctlhost: can't open a window: no display (set DISPLAY, or QT_QPA_PLATFORM=offscreen to run without one)\n")},
        {{QStringLiteral("-")}, {}, noWindowSystem, QStringLiteral(":4095"), 3, {},
         QStringLiteral("ctlhost: can't open a window: no display could be reached (DISPLAY=:4095)\n")},
    };
    const QProcessEnvironment base = env;
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.args.join(QLatin1Char(' ')) + QLatin1Char(' ') + c.display));
        env = base;
        for (const QString &name : c.unset)
            env.remove(name);
        if (!c.display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), c.display);
        const Result result = runProgram(QStringLiteral(CTLHOST_PATH), c.args, c.input);
        EXPECT_EQ(result.exitCode, c.status) << qPrintable(result.errors);
        EXPECT_TRUE(result.lines.join(QLatin1Char('\n')).contains(c.out)) << qPrintable(result.lines.join('\n'));
        if (c.err.endsWith(QLatin1Char('\n')))
            EXPECT_EQ(result.errors, c.err); // one line, nothing else
        else
            EXPECT_TRUE(result.errors.startsWith(c.err)) << qPrintable(result.errors);
    }
}
#endif
