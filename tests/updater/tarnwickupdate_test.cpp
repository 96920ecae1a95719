#include "desktop.h"

#include "tests/support/filecontent.h"
#include "tests/support/httptestserver.h"
#include "tests/support/programenvironment.h"
#include "tests/support/waitfor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <gtest/gtest.h>

using testsupport::HttpResponse;
using testsupport::HttpTestServer;

namespace {

QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// Runs the built TarnwickUpdate from an application folder of its own, with
// the control library registered for it alone, on a desktop of its own.
class TarnwickUpdateRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Desktop::available())
            GTEST_SKIP() << "Xvfb and xdotool are needed to act as the user";
        if (address.host() != QLatin1String("127.0.0.1"))
            GTEST_SKIP() << "the program is built for a download server that is not on loopback";
        // Runs in other checkouts serve the same address: take turns.
        portLock.setStaleLockTime(0);
        ASSERT_TRUE(portLock.tryLock(10 * 60 * 1000)) << "another test run keeps the download address";
        desktop = std::make_unique<Desktop>();
        ASSERT_TRUE(desktop->started());
        ASSERT_TRUE(QDir().mkpath(app()));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARNWICK_UPDATE_EXE), app("TarnwickUpdate")));
        newProduct = testsupport::readBytes(QStringLiteral(PRODUCT_NEW));
        oldProduct = testsupport::readBytes(QStringLiteral(PRODUCT_OLD));
        ASSERT_NE(newProduct, oldProduct);
    }

    QString app(const QString &name = QString()) const
    {
        return root.filePath(QStringLiteral("app")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
    }

    void installOldProduct()
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(PRODUCT_OLD), app("tarnwick.exe")));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = testsupport::programEnvironment(root.filePath(QStringLiteral("xdg")));
        env.insert(QStringLiteral("DISPLAY"), desktop->display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    void registerLibrary()
    {
        QProcess regsvr;
        regsvr.setProcessEnvironment(environment());
        regsvr.start(QStringLiteral(REGSVR_EXE), {QStringLiteral(UPDATE_LIBRARY)});
        ASSERT_TRUE(regsvr.waitForFinished(20000));
        ASSERT_EQ(regsvr.exitCode(), 0) << regsvr.readAllStandardError().toStdString();
    }

    void serve(const HttpResponse &response)
    {
        server = std::make_unique<HttpTestServer>(quint16(address.port()));
        server->serve(address.path(), response);
    }

    // Serves the new product in small pieces and holds it at the offset
    // (4 KiB in unless told otherwise).
    void serveHeld(qint64 at = 4096)
    {
        HttpResponse slow = HttpResponse::ok(newProduct);
        slow.chunkBytes = 1024;
        slow.holdAt = {at};
        serve(slow);
        QObject::connect(server.get(), &HttpTestServer::held, [this] { held = true; });
    }

    // Starts a run with the old product installed and the new one held at
    // the offset; returns the main window once the hold is reached.
    QString startHeldRun(qint64 holdAt = 4096)
    {
        registerLibrary();
        installOldProduct();
        held = false;
        serveHeld(holdAt);
        start();
        const QString window = mainWindow();
        EXPECT_TRUE(testsupport::waitFor([&] { return held; }));
        return window;
    }

    void start()
    {
        program.setProcessEnvironment(environment());
        // Not the application folder: the product's record shows where it runs.
        program.setWorkingDirectory(root.path());
        program.start(app("TarnwickUpdate"), {});
        clock.start();
        ASSERT_TRUE(program.waitForStarted());
    }

    QString mainWindow() { return desktop->waitForWindow(QStringLiteral("^Tarnwick - Checking for updates$")); }

    // Presses the default button of the box titled "Tarnwick" once it is up;
    // false when no such box came.
    bool answerTarnwickBox()
    {
        const QString box = desktop->waitForWindow(QStringLiteral("^Tarnwick$"));
        if (box.isEmpty())
            return false;
        desktop->pressReturn(box);
        return true;
    }

    // Clicks "Skip >>" (Command1 at 160, 200 with 121 by 25 pixels).
    void clickSkip(const QString &window) { desktop->click(window, 220, 212); }

    // Waits for the program to end and returns its exit status.
    int finish() { return testsupport::exitStatusOf(program); }

    // The product's record of its starts, once it had time to write it (and
    // to write a second start, were there one).
    QString starts(int patienceMs = 5000)
    {
        testsupport::poll([&] { return QFile::exists(app("tarnwick-started.txt")); }, patienceMs);
        testsupport::pause(300);
        return QString::fromUtf8(testsupport::readBytes(app("tarnwick-started.txt")));
    }

    // The record of one start of the product, run in the updater's working
    // directory (root), not in its own folder (root/app).
    QString startedInApp(const char *version) const
    {
        return QStringLiteral("Tarnwick %1 in %2\n").arg(QLatin1String(version), QFileInfo(root.path()).canonicalFilePath());
    }

    QUrl address{QStringLiteral(TARNWICK_DOWNLOAD_URL)};
    QLockFile portLock{QDir::temp().filePath(QStringLiteral("tarnwick-update-tests-%1.lock").arg(address.port()))};
    QTemporaryDir root;
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<HttpTestServer> server;
    QProcess program;
    QElapsedTimer clock;
    QByteArray oldProduct;
    QByteArray newProduct;
    bool held = false;
};

} // namespace

TEST_F(TarnwickUpdateRun, ASuccessfulRunReplacesTheProductAndStartsItOnce)
{
    registerLibrary();
    installOldProduct();
    serve(HttpResponse::ok(newProduct));
    start();
    EXPECT_EQ(finish(), 0);
    std::printf("TarnwickUpdate ran for %lld ms until it ended\n", clock.elapsed());
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), newProduct);
    EXPECT_TRUE(QFileInfo(app("tarnwick.exe")).isExecutable());
    EXPECT_EQ(starts(), startedInApp("2.0"));
    EXPECT_EQ(filesIn(app()), (QStringList{"TarnwickUpdate", "tarnwick-started.txt", "tarnwick.exe"}));
    EXPECT_EQ(server->hits(address.path()), 1);
}

TEST_F(TarnwickUpdateRun, AnUnreachableServerStartsTheOldProduct)
{
    registerLibrary();
    installOldProduct();
    start();
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
    EXPECT_EQ(starts(), startedInApp("1.0"));
}

TEST_F(TarnwickUpdateRun, NoProductAfterAFailedRunIsReportedAndEndsWithStatusOne)
{
    registerLibrary();
    start();
    ASSERT_TRUE(answerTarnwickBox()) << "the error is reported in a box titled Tarnwick";
    EXPECT_EQ(finish(), 1);
    EXPECT_FALSE(QFile::exists(app("tarnwick-started.txt")));
}

TEST_F(TarnwickUpdateRun, SkipBeforeTheTickStartsTheProductWithoutARun)
{
    registerLibrary();
    installOldProduct();
    serve(HttpResponse::ok(newProduct));
    start();
    clickSkip(mainWindow());
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(starts(), startedInApp("1.0"));
    EXPECT_EQ(server->hits(address.path()), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
}

TEST_F(TarnwickUpdateRun, SkipWithoutAProductSaysSoAndTheRunGoesOn)
{
    registerLibrary();
    serve(HttpResponse::ok(newProduct));
    start();
    clickSkip(mainWindow());
    ASSERT_TRUE(answerTarnwickBox()) << "\"You cannot skip this update\" comes in a box titled Tarnwick";
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), newProduct);
    EXPECT_EQ(starts(), startedInApp("2.0"));
}

TEST_F(TarnwickUpdateRun, SkipDuringADownloadLeavesTheOldProductAndStartsIt)
{
    clickSkip(startHeldRun());
    EXPECT_EQ(finish(), 0);
    server->resume();
    EXPECT_EQ(starts(), startedInApp("1.0"));
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
    EXPECT_EQ(filesIn(app()), (QStringList{"TarnwickUpdate", "tarnwick-started.txt", "tarnwick.exe"}));
}

TEST_F(TarnwickUpdateRun, WithoutTheLibraryRegisteredItSaysSoAndFails)
{
    installOldProduct();
    start();
    ASSERT_TRUE(answerTarnwickBox());
    EXPECT_EQ(finish(), 2);
    // The library to register, by its real path.
    const QString library = QFileInfo(QStringLiteral(UPDATE_LIBRARY)).absolutePath() + QStringLiteral("/libUpdate.so");
    EXPECT_TRUE(QString::fromLocal8Bit(program.readAllStandardError()).contains(QStringLiteral("regsvr ") + library));
    EXPECT_FALSE(QFile::exists(app("tarnwick-started.txt")));
}

TEST_F(TarnwickUpdateRun, ClosingTheWindowDuringARunCancelsItWithoutStartingTheProduct)
{
    // Closed while the download runs, and once it is complete but not yet
    // moved into place (the pause of about a second before the move).
    for (const qint64 holdAt : {qint64(4096), qint64(newProduct.size())}) {
        SCOPED_TRACE(holdAt);
        QFile::remove(app("tarnwick.exe"));
        const QString window = startHeldRun(holdAt);
        if (holdAt == newProduct.size())
            testsupport::pause(300);
        desktop->close(window);
        EXPECT_EQ(finish(), 0);
        EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
        EXPECT_EQ(starts(1000), QString()) << "the program has ended: a start would be recorded by now";
        EXPECT_EQ(filesIn(app()), (QStringList{"TarnwickUpdate", "tarnwick.exe"}));
        server.reset();
    }
}

TEST(TarnwickUpdateWithoutADisplay, EndsAtOnceWithOneLineAndStatus3)
{
    QTemporaryDir home;
    QProcessEnvironment env = testsupport::programEnvironment(home.path());
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TARNWICK_UPDATE_EXE));
    ASSERT_TRUE(program.waitForFinished(10000)) << "it waits for something nobody can see";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 3);
    EXPECT_EQ(program.readAllStandardError(), "TarnwickUpdate: can't open a window: no display (set DISPLAY, or "
                                              "QT_QPA_PLATFORM=offscreen to run without one)\n");
}
