#include "platform/patch/patch.h"

#include "tests/support/filecontent.h"
#include "tests/support/zstdpatch.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform::patch;

namespace {

void write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray release(int number)
{
    return testsupport::sampleRelease(number, 300'000);
}

} // namespace

TEST(Patch, RebuildsTheNewReleaseToTheExactBytes)
{
    QTemporaryDir dir;
    write(dir.filePath("base"), release(1));
    write(dir.filePath("patch"), testsupport::makePatch(release(1), release(2)));

    EXPECT_EQ(applyPatch(dir.filePath("base"), dir.filePath("patch"), dir.filePath("out")), std::nullopt);
    EXPECT_EQ(testsupport::readBytes(dir.filePath("out")), release(2));
    EXPECT_LT(QFile(dir.filePath("patch")).size(), 2000);
}

TEST(Patch, APatchThatCantRebuildTheReleaseIsRefusedAndLeavesNothing)
{
    QByteArray corrupt = testsupport::makePatch(release(1), release(2));
    corrupt[corrupt.size() / 2] = char(corrupt[corrupt.size() / 2] ^ 0x5a);
    const QByteArray good = testsupport::makePatch(release(1), release(2));
    const struct {
        const char *what;
        QByteArray patch;
        const char *because; // zstd's words for damage depend on where it shows
    } cases[] = {
        {"for another base", testsupport::makePatch(release(3), release(2)), ""},
        {"corrupt", corrupt, ""},
        {"cut short", good.left(good.size() - 3), "ends before its frame does"},
        {"followed by more", good + good, "more than one frame"},
        {"without a checksum", testsupport::makePatch(release(1), release(2), false), "no checksum"},
        {"asking for an absurd window", testsupport::absurdWindowFrame(), "asks for a window of 1073741824 bytes"},
        {"not a frame", "#!/bin/sh\necho patched\n", "not a zstd frame"},
        {"empty", "", "not a zstd frame"},
    };
    QTemporaryDir dir;
    write(dir.filePath("base"), release(1));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        write(dir.filePath("patch"), c.patch);
        const std::optional<QString> failure = applyPatch(dir.filePath("base"), dir.filePath("patch"), dir.filePath("out"));
        ASSERT_TRUE(failure.has_value());
        EXPECT_TRUE(failure->contains(QLatin1String(c.because), Qt::CaseInsensitive)) << qPrintable(*failure);
        EXPECT_FALSE(QFile::exists(dir.filePath("out")));
    }
    write(dir.filePath("patch"), good);
    EXPECT_EQ(applyPatch(dir.filePath("missing"), dir.filePath("patch"), dir.filePath("out")).value_or(""),
              "File not found");
}

TEST(Patch, IsNamedByTheHashOfItsBaseAfterTheProductsPath)
{
    QTemporaryDir dir;
    write(dir.filePath("base"), "abc");
    const QString hash = sha256Hex(dir.filePath("base"));
    EXPECT_EQ(hash, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(patchAddress("http://host/local/tarnwick.exe?channel=beta", hash),
              "http://host/local/tarnwick.exe.delta/" + hash + "?channel=beta");
    EXPECT_EQ(windowLogLimit(0, 0), 10);
    EXPECT_EQ(windowLogLimit(1 << 20, 1 << 20), 23);
    EXPECT_EQ(windowLogLimit(qint64(3) << 30, 1), sizeof(void *) == 8 ? 31 : 30) << "2 GiB, 1 GiB in 32 bits";
}
