// TarnwickUpdate.exe run as a user runs it on Windows (here under Wine):
// from an application folder laid out as an installation, with Update.dll
// registered by regsvr32, against a server on the address it was built for.

#include "tests/support/filecontent.h"
#include "tests/support/httptestserver.h"
#include "tests/support/programenvironment.h"
#include "tests/support/waitfor.h"
#include "tests/support/windowsprograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

using testsupport::HttpResponse;
using testsupport::HttpTestServer;

namespace {

namespace fs = std::filesystem;

// A file of the build's program folder.
QString built(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

class TarnwickUpdateRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (address.host() != QLatin1String("127.0.0.1"))
            GTEST_SKIP() << "the program is built for a download server that is not on loopback";
        ASSERT_EQ(testsupport::regsvr32({library}), 0);
        install();
        newProduct = testsupport::readBytes(built(QStringLiteral("tarnwick-2.0.exe")));
        oldProduct = testsupport::readBytes(built(QStringLiteral("tarnwick-1.0.exe")));
        ASSERT_NE(newProduct, oldProduct);
        ASSERT_TRUE(QFile::copy(built(QStringLiteral("tarnwick-1.0.exe")), app("tarnwick.exe")));
    }

    void TearDown() override { testsupport::regsvr32({QStringLiteral("/u"), library}); }

    // The program with the DLLs and Qt plugins it needs beside it, as an
    // installer lays it out (linked, not copied: they are only read).
    void install()
    {
        const fs::path from = built(QString()).toStdWString();
        const fs::path to = app().toStdWString();
        fs::create_directories(to);
        for (const fs::directory_entry &entry : fs::directory_iterator(from)) {
            const fs::path name = entry.path().filename();
            const bool runtime = entry.is_directory() ? name != L"scripts"
                                                      : name.extension() == L".dll" && name != L"Update.dll";
            if (runtime || name == L"TarnwickUpdate.exe")
                fs::copy(entry.path(), to / name, fs::copy_options::recursive | fs::copy_options::create_hard_links);
        }
    }

    QString app(const QString &name = QString()) const
    {
        return root.filePath(QStringLiteral("app")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
    }

    void serve(const HttpResponse &response)
    {
        server = std::make_unique<HttpTestServer>(quint16(address.port()));
        server->serve(address.path(), response);
    }

    void start()
    {
        // On the display, as a user runs it: not on this test's offscreen platform.
        QProcessEnvironment environment = testsupport::programEnvironment(root.filePath(QStringLiteral("xdg")));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(root.path());
        program.start(app("TarnwickUpdate.exe"), {});
        ASSERT_TRUE(program.waitForStarted());
    }

    // The main window, once it shows; null when it didn't come.
    HWND mainWindow()
    {
        HWND window = nullptr;
        testsupport::poll(
            [&] {
                window = FindWindowW(nullptr, L"Tarnwick - Checking for updates");
                return window && IsWindowVisible(window);
            },
            15000);
        return window;
    }

    // Clicks "Skip >>" (Command1 at 160, 200 with 121 by 25 pixels) with
    // the mouse, as a user does: Qt reads the buttons' state from the input
    // itself, so posted messages wouldn't do.
    void clickSkip(HWND window)
    {
        POINT at{220, 212};
        ClientToScreen(window, &at);
        SetCursorPos(at.x, at.y);
        // Once the window lies there on the screen, ready to take the click.
        testsupport::poll(
            [&] {
                const HWND hit = WindowFromPoint(at);
                return hit == window || IsChild(window, hit);
            },
            5000);
        INPUT click[2]{};
        click[0].type = INPUT_MOUSE;
        click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        click[1].type = INPUT_MOUSE;
        click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, click, sizeof(INPUT));
    }

    int finish() { return testsupport::exitStatusOf(program); }

    // The product's record of its starts, once it had time to write it (and
    // to write a second start, were there one).
    QString starts()
    {
        testsupport::poll([&] { return QFile::exists(app("tarnwick-started.txt")); }, 10000);
        testsupport::pause(500);
        return QString::fromUtf8(testsupport::readBytes(app("tarnwick-started.txt")));
    }

    // The record of one start of the product, run in the updater's working
    // directory (root), not in its own folder (root/app).
    QString startedInApp(const char *version) const
    {
        return QStringLiteral("Tarnwick %1 in %2\n").arg(QLatin1String(version), QDir::toNativeSeparators(root.path()));
    }

    const QString library = QDir::toNativeSeparators(built(QStringLiteral("Update.dll")));
    QUrl address{QStringLiteral(TARNWICK_DOWNLOAD_URL)};
    QTemporaryDir root;
    std::unique_ptr<HttpTestServer> server;
    QProcess program;
    QByteArray oldProduct;
    QByteArray newProduct;
};

} // namespace

TEST_F(TarnwickUpdateRun, ASuccessfulRunReplacesTheProductAndStartsItOnce)
{
    serve(HttpResponse::ok(newProduct));
    start();
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), newProduct);
    EXPECT_EQ(starts(), startedInApp("2.0"));
    EXPECT_EQ(server->hits(address.path()), 1);
}

TEST_F(TarnwickUpdateRun, AnUnreachableServerStartsTheOldProduct)
{
    start();
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
    EXPECT_EQ(starts(), startedInApp("1.0"));
}

TEST_F(TarnwickUpdateRun, SkipBeforeTheTickStartsTheProductWithoutARun)
{
    serve(HttpResponse::ok(newProduct));
    start();
    const HWND window = mainWindow();
    ASSERT_TRUE(window);
    clickSkip(window);
    EXPECT_EQ(finish(), 0);
    EXPECT_EQ(starts(), startedInApp("1.0"));
    EXPECT_EQ(server->hits(address.path()), 0);
    EXPECT_EQ(testsupport::readBytes(app("tarnwick.exe")), oldProduct);
}

TEST(TarnwickUpdateProgram, CarriesItsIconWithFourImagesAndItsBannerAsResources)
{
    const std::wstring file = QDir::toNativeSeparators(built(QStringLiteral("TarnwickUpdate.exe"))).toStdWString();
    const HMODULE program =
        LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(program);
    const auto resource = [&](LPCWSTR name, LPCWSTR type) {
        const HRSRC found = FindResourceW(program, name, type);
        const HGLOBAL data = found ? LoadResource(program, found) : nullptr;
        return data ? QByteArray(static_cast<const char *>(LockResource(data)), int(SizeofResource(program, found)))
                    : QByteArray();
    };

    // The icon group the shell shows: its entries (14 bytes each after a
    // 6-byte header) give width, height and colour depth.
    const QByteArray group = resource(MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6);
    QStringList images;
    for (int i = 0; i < quint8(group[4]) && 6 + 14 * (i + 1) <= group.size(); ++i) {
        const char *entry = group.constData() + 6 + 14 * i;
        images << QStringLiteral("%1x%2x%3").arg(quint8(entry[0])).arg(quint8(entry[1])).arg(quint8(entry[6]));
    }
    EXPECT_EQ(images, QStringList({"68x71x24", "24x24x32", "32x32x32", "48x48x32"}));

    const QImage banner = QImage::fromData(resource(L"banner.jpg", RT_RCDATA), "JPEG");
    EXPECT_EQ(banner.size(), QSize(464, 70));
    FreeLibrary(program);
}
