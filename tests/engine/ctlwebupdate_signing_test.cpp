#include "enginefixture.h"

#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "tests/support/minisignkey.h"
#include "tests/support/zstdpatch.h"

#include <QDirIterator>

using namespace enginetest;
using testsupport::HttpResponse;
using testsupport::MinisignKey;

namespace {

const QByteArray kProduct = testsupport::HttpTestServer::pattern(0, 100'000);

HttpResponse chunked(HttpResponse response)
{
    response.framing = HttpResponse::Framing::Chunked;
    return response;
}

// minisign's default trusted comment, with the time and file given.
QStringList comment(qint64 timestamp, const QString &file)
{
    return {"-t", QStringLiteral("timestamp:%1\tfile:%2\thashed").arg(timestamp).arg(file)};
}

class Signing : public EngineTest {
protected:
    Signing()
    {
        QDir().mkpath(dir.filePath("app"));
        writeFile(dir.filePath("app/tarnwick.exe"), "old product");
        server.serve("/local/tarnwick.exe", HttpResponse::ok(kProduct));
    }

    // A run restored from saved settings that hold publicKey (none when empty).
    void runWithKey(const QString &publicKey)
    {
        platform::MemoryPropertyStore store;
        platform::PropertyBag bag(store);
        control.WriteProperties(bag);
        store.write("DownloadFile", productUrl);
        store.write("DownloadLocation", dir.filePath("app/"));
        if (!publicKey.isEmpty())
            store.write("publickey", publicKey);
        control.ReadProperties(bag);
        control.RunUpdate();
    }

    // Every file under the cache folder, one a line.
    std::string cacheFiles() const
    {
        QStringList files;
        QDirIterator it(dir.filePath("cache"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        return files.join('\n').toStdString();
    }

    MinisignKey key;
    QString productUrl = server.url("/local/tarnwick.exe");
    QString signatureUrl = productUrl + ".minisig";
};

TEST_F(Signing, AGoodSignatureIsCheckedAndDeletedBeforeTheProductIsPlaced)
{
    server.serve("/local/tarnwick.exe.minisig", HttpResponse::ok(key.sign(kProduct)));
    const QString noPatch = noPatchLine(productUrl, dir.filePath("app/tarnwick.exe"));

    runWithKey(key.publicKey());

    const QStringList lines = log();
    const QString productCopy = cachePathIn(lines, productUrl);
    const QString signatureCopy = cachePathIn(lines, signatureUrl);
    const QString placed = dir.filePath("app/tarnwick.exe");
    QStringList expected{"Download process started", noPatch};
    expected << downloadLines(productUrl, productCopy, "application/octet-stream", host())
             << downloadLines(signatureUrl, signatureCopy, "application/octet-stream")
             << "Deleted signature file " + signatureCopy << "Verified signature of " + productCopy
             << "File moved to " + placed << "Kept signature " + placed + ".minisig" << "Download Complete"
             << "Download process completed";
    EXPECT_EQ(lines.join("\n").toStdString(), expected.join("\n").toStdString());
    EXPECT_EQ(raised, QStringList{"Download Complete"});
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(testsupport::readBytes(placed), kProduct);
    EXPECT_EQ(cacheFiles(), "");
    EXPECT_EQ(server.hits("/local/tarnwick.exe.minisig"), 1);
    EXPECT_EQ(label("lblBytes").toStdString(), "100000 of 100000 bytes copied.");

    platform::MemoryPropertyStore saved;
    platform::PropertyBag bag(saved);
    control.WriteProperties(bag);
    EXPECT_EQ(saved.read("PublicKey"), platform::Variant(key.publicKey()));
}

TEST_F(Signing, AnyFaultOfTheSignatureKeepsTheOldProduct)
{
    const MinisignKey otherKey;
    const QByteArray good = key.sign(kProduct);
    const struct {
        const char *name;
        HttpResponse signature;
        QString failure;
    } cases[] = {
        {"changed file", HttpResponse::ok(key.sign(kProduct + "!")), "The signature does not match the file"},
        {"other key", HttpResponse::ok(otherKey.sign(kProduct)),
         "Signed with another key (key id " + otherKey.keyId() + " instead of " + key.keyId() + ")"},
        {"missing", HttpResponse::error(404), "Unable to download " + signatureUrl},
        {"malformed", HttpResponse::ok(good.left(good.size() / 2)), "Malformed signature"},
        // A signature fits in far less than the read's limit of 64 KiB.
        {"announced as 1 GiB", HttpResponse::generated(qint64(1) << 30), "Unable to download " + signatureUrl},
        {"endless", chunked(HttpResponse::generated(qint64(1) << 30)), "Unable to download " + signatureUrl},
    };
    for (const auto &c : cases) {
        server.serve("/local/tarnwick.exe.minisig", c.signature);
        raised.clear();

        runWithKey(key.publicKey());

        const QString message = "Signature check failed - " + c.failure;
        const QStringList lines = log();
        EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{message, "Download process completed"})) << c.name;
        EXPECT_EQ(raised, QStringList{message}) << c.name;
        EXPECT_EQ(boxes.texts().last(), message) << c.name;
        EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), "old product") << c.name;
        EXPECT_EQ(cacheFiles(), "") << c.name;
    }
    EXPECT_EQ(boxes.shown().size(), 6);
    EXPECT_EQ(server.hits("/local/tarnwick.exe"), 6);
    EXPECT_EQ(server.hits("/local/tarnwick.exe.minisig"), 6);
    EXPECT_EQ(QDir(dir.filePath("app")).entryList(QDir::Files), QStringList{"tarnwick.exe"});
}

TEST_F(Signing, ASignatureIsBoundToItsFileAndToTheInstalledRelease)
{
    const QString kept = dir.filePath("app/tarnwick.exe.minisig");
    const struct {
        const char *name;
        QStringList signing; // further minisign arguments
        QString failure;     // empty: placed
    } cases[] = {
        {"another file", comment(3000, "setup.exe"), "Signed for another file (setup.exe, not tarnwick.exe)"},
        {"older than the installed release", comment(1000, "tarnwick.exe"),
         "Signed earlier than the installed product: an older release is not put back"},
        {"the installed release again", comment(2000, "tarnwick.exe"), ""},
        {"a newer release", comment(3000, "tarnwick.exe"), ""},
        {"a comment of the publisher's own", {"-t", "Tarnwick 2.0"}, ""},
        {"minisign's default comment", {}, ""},
    };
    for (const auto &c : cases) {
        writeFile(dir.filePath("app/tarnwick.exe"), "old product");
        writeFile(kept, key.sign("old product", comment(2000, "tarnwick.exe")));
        const QByteArray signature = key.sign(kProduct, c.signing);
        server.serve("/local/tarnwick.exe.minisig", HttpResponse::ok(signature));
        raised.clear();

        runWithKey(key.publicKey());

        if (c.failure.isEmpty()) {
            EXPECT_EQ(raised, QStringList{"Download Complete"}) << c.name;
            EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), kProduct) << c.name;
            EXPECT_EQ(testsupport::readBytes(kept), signature) << c.name << ": kept for the next update";
        } else {
            EXPECT_EQ(raised, QStringList{"Signature check failed - " + c.failure}) << c.name;
            EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), "old product") << c.name;
        }
    }
}

TEST_F(Signing, AMalformedKeyFailsTheRunBeforeAnythingIsFetched)
{
    runWithKey("RWQnot-a-key");

    EXPECT_EQ(raised, QStringList{"Signature check failed - Malformed public key"});
    EXPECT_EQ(server.hits("/local/tarnwick.exe"), 0);
    EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), "old product");
}

TEST_F(Signing, WithoutAKeyNoSignatureIsAskedFor)
{
    server.serve("/local/tarnwick.exe.minisig", HttpResponse::ok("not a signature"));

    runWithKey(QString());

    EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), kProduct);
    EXPECT_EQ(server.hits("/local/tarnwick.exe.minisig"), 0);
    EXPECT_TRUE(log().filter("ignature").isEmpty());
    EXPECT_EQ(raised, QStringList{"Download Complete"});
}

} // namespace

TEST_F(Signing, AProductRebuiltFromAPatchIsPlacedOnlyWhenItsSignatureHolds)
{
    const struct {
        const char *what;
        QByteArray rebuilt;
        int wholeDownloads;
        QString line;
    } cases[] = {
        {"the signed product", kProduct, 0, "Verified signature of "},
        {"another product", "another product", 1, "Signature check failed for the rebuilt product - "},
    };
    server.serve("/local/tarnwick.exe.minisig", HttpResponse::ok(key.sign(kProduct)));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(dir.filePath("app/tarnwick.exe"), "old product");
        const QString patchPath = platform::patch::patchAddress(
            "/local/tarnwick.exe", platform::patch::sha256Hex(dir.filePath("app/tarnwick.exe")));
        server.serve(patchPath.toLatin1(), HttpResponse::ok(testsupport::makePatch("old product", c.rebuilt)));
        const int downloadsBefore = server.hits("/local/tarnwick.exe");
        raised.clear();

        runWithKey(key.publicKey());

        EXPECT_EQ(testsupport::readBytes(dir.filePath("app/tarnwick.exe")), kProduct);
        EXPECT_EQ(server.hits("/local/tarnwick.exe") - downloadsBefore, c.wholeDownloads);
        EXPECT_EQ(log().filter(c.line).size(), 1) << qPrintable(log().join('\n'));
        EXPECT_EQ(raised, QStringList{"Download Complete"});
        EXPECT_TRUE(boxes.shown().isEmpty());
        EXPECT_EQ(cacheFiles(), "");
    }
}
