#include "zstdpatch.h"

#include "httptestserver.h"

#include <bit>
#include <gtest/gtest.h>
#include <zstd.h>

namespace testsupport {

QByteArray sampleRelease(int number, qsizetype size)
{
    QByteArray bytes = HttpTestServer::pattern(0, size);
    bytes.replace(size / 300, 8, QByteArray::number(number * 11'111'111));
    bytes.insert(size / 2, QByteArray(number * (size / 600), char('a' + number)));
    return bytes;
}

QByteArray makePatch(const QByteArray &base, const QByteArray &next, bool checksum)
{
    ZSTD_CCtx *context = ZSTD_createCCtx();
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, 19);
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, checksum ? 1 : 0);
    ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog,
                           std::max(10, int(std::bit_width(quint64(base.size() + next.size())))));
    ZSTD_CCtx_refPrefix(context, base.constData(), size_t(base.size()));
    QByteArray patch(qsizetype(ZSTD_compressBound(size_t(next.size()))), Qt::Uninitialized);
    const size_t size = ZSTD_compress2(context, patch.data(), size_t(patch.size()), next.constData(),
                                       size_t(next.size()));
    ZSTD_freeCCtx(context);
    EXPECT_FALSE(ZSTD_isError(size)) << ZSTD_getErrorName(size);
    patch.resize(qsizetype(size));
    return patch;
}

QByteArray absurdWindowFrame()
{
    // Magic number; descriptor: a two-byte content size, a window
    // descriptor, a checksum; window 2^(10 + 20); content 44 + 256 bytes;
    // then a raw block header and what follows it.
    return QByteArray::fromHex("28b52ffd" "44" "a0" "2c00" "610900") + QByteArray(300, 'x');
}

} // namespace testsupport
