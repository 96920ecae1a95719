#include "enginefixture.h"

#include "platform/patch/patch.h"
#include "tests/support/zstdpatch.h"

#include <QRegularExpression>

using namespace enginetest;
using testsupport::HttpResponse;
using testsupport::HttpTestServer;

namespace {

QByteArray release(int number)
{
    return testsupport::sampleRelease(number, 400'000);
}

class Patching : public EngineTest {
protected:
    Patching()
    {
        QDir().mkpath(dir.filePath("app"));
        writeFile(installed, release(1));
        patchPath = "/local/tarnwick.exe.delta/" + platform::patch::sha256Hex(installed).toLatin1();
        server.serve("/local/tarnwick.exe", [this](const testsupport::HttpRequest &) {
            installedWhenProductAsked = testsupport::readBytes(installed);
            return HttpResponse::ok(release(2));
        });
        control.setDownloadFile(server.url("/local/tarnwick.exe"));
        control.setDownloadLocation(dir.filePath("app/"));
    }

    QStringList targets() const
    {
        QStringList asked;
        for (const testsupport::HttpRequest &request : server.requests())
            asked << QString::fromLatin1(request.target);
        return asked;
    }

    const QString installed = dir.filePath("app/tarnwick.exe");
    QByteArray patchPath;
    QByteArray installedWhenProductAsked;
};

TEST_F(Patching, APatchForTheProductInPlaceRebuildsTheNewOneWithoutTheWholeDownload)
{
    const QByteArray patch = testsupport::makePatch(release(1), release(2));
    server.serve(patchPath, HttpResponse::ok(patch));

    control.RunUpdate();

    EXPECT_EQ(testsupport::readBytes(installed), release(2));
    EXPECT_EQ(targets(), QStringList{patchPath});
    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_TRUE(boxes.shown().isEmpty());
    const QStringList rebuilt = log().filter("Rebuilt the product from a patch");
    ASSERT_EQ(rebuilt.size(), 1);
    EXPECT_TRUE(rebuilt[0].startsWith(QStringLiteral("Rebuilt the product from a patch of %1 bytes (").arg(patch.size())))
        << qPrintable(rebuilt[0]);
    EXPECT_EQ(label("lblBytes"), QStringLiteral("%1 of %1 bytes copied.").arg(patch.size()));
}

TEST_F(Patching, APatchTransferBrokenOffIsResumedAndRebuildsTheExactBytes)
{
    const QByteArray patch = testsupport::makePatch(release(1), release(2));
    int request = 0;
    server.serve(patchPath, [&](const testsupport::HttpRequest &) {
        HttpResponse r = HttpResponse::ok(patch);
        r.acceptRanges = true;
        r.etag = "\"p1\"";
        r.cutAt = request++ == 0 ? patch.size() / 2 : -1;
        r.end = r.cutAt < 0 ? HttpResponse::End::Complete : HttpResponse::End::Reset;
        return r;
    });

    control.RunUpdate();

    EXPECT_EQ(testsupport::readBytes(installed), release(2));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].header("range"), "bytes=" + QByteArray::number(patch.size() / 2) + "-");
    EXPECT_EQ(raised, QStringList{"Download Complete"});
}

TEST_F(Patching, CancelDuringThePatchEndsTheRunWithoutTheWholeDownload)
{
    const QByteArray patch = testsupport::makePatch(release(1), release(2));
    HttpResponse held = HttpResponse::ok(patch);
    held.holdAt = {patch.size() / 2};
    server.serve(patchPath, held);
    QObject::connect(&server, &HttpTestServer::held, [&] { control.CancelDownload(); });

    control.RunUpdate();

    EXPECT_EQ(targets(), QStringList{patchPath});
    EXPECT_EQ(testsupport::readBytes(installed), release(1));
    EXPECT_TRUE(log().filter("patch").isEmpty()) << qPrintable(log().join('\n'));
    EXPECT_TRUE(raised.isEmpty());
}

TEST_F(Patching, WithoutAPatchThatWorksTheWholeProductIsDownloadedQuietly)
{
    const struct {
        const char *what;
        std::optional<QByteArray> patch;
        QString line;
    } cases[] = {
        {"none on the server", std::nullopt, "No patch at %1: downloading the whole product"},
        {"corrupt", QByteArray(5000, 'z'), "Unable to apply the patch %1 - not a zstd frame: downloading the whole product"},
        {"for another base", testsupport::makePatch(release(3), release(2)), "Unable to apply the patch %1 - "},
        {"asking for an absurd window", testsupport::absurdWindowFrame(),
         "Unable to apply the patch %1 - the frame asks for a window of 1073741824 bytes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(installed, release(1));
        if (c.patch)
            server.serve(patchPath, HttpResponse::ok(*c.patch));
        raised.clear();

        control.RunUpdate();

        const QString url = server.url(QString::fromLatin1(patchPath));
        EXPECT_EQ(log().filter(QRegularExpression("patch", QRegularExpression::CaseInsensitiveOption)).size(), 1);
        EXPECT_TRUE(log().join('\n').contains(c.line.arg(url))) << qPrintable(log().join('\n'));
        EXPECT_EQ(installedWhenProductAsked, release(1)) << "the product in place stays until the new one is in";
        EXPECT_EQ(testsupport::readBytes(installed), release(2));
        EXPECT_EQ(raised, QStringList{"Download Complete"});
        EXPECT_TRUE(boxes.shown().isEmpty());
    }
}

} // namespace
