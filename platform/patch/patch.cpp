#include "patch.h"

#include "platform/core/address.h"
#include "platform/core/runtimeerror.h"

#include <QCryptographicHash>
#include <QFile>
#include <QScopeGuard>
#include <bit>
#include <memory>
// The frame header's fields (window, checksum): exported by the shared
// library, declared in its advanced section.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>
#include <zstd_errors.h>

namespace platform::patch {

namespace {

constexpr int kMinWindowLog = 10;
// 2 GiB, or what a 32-bit process can map (1 GiB).
constexpr int kMaxWindowLog = std::min(31, int(ZSTD_WINDOWLOG_MAX));

void openForReading(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(file.exists() ? ErrPathFileAccess : ErrFileNotFound);
}

QString zstdError(size_t code)
{
    return QString::fromUtf8(ZSTD_getErrorName(code));
}

// The frame's header, or why the patch has none fit to rebuild from.
std::optional<QString> headerProblem(QFile &patch, ZSTD_frameHeader &header)
{
    const QByteArray start = patch.peek(ZSTD_FRAMEHEADERSIZE_MAX);
    const size_t result = ZSTD_getFrameHeader(&header, start.constData(), size_t(start.size()));
    if (ZSTD_isError(result) && ZSTD_getErrorCode(result) != ZSTD_error_prefix_unknown)
        return zstdError(result);
    if (ZSTD_isError(result) || result != 0 || header.frameType != ZSTD_frame)
        return QStringLiteral("not a zstd frame");
    if (header.frameContentSize == ZSTD_CONTENTSIZE_UNKNOWN)
        return QStringLiteral("the frame doesn't say how large the product is");
    if (!header.checksumFlag)
        return QStringLiteral("the frame carries no checksum");
    return std::nullopt;
}

// Decompresses the one frame of patch into out with base as its prefix.
std::optional<QString> decompress(QFile &patch, const QByteArray &base, int windowLog, qint64 contentBytes,
                                  QFile &out)
{
    const std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, windowLog);
    ZSTD_DCtx_refPrefix(context.get(), base.constData(), size_t(base.size()));
    QByteArray input(qsizetype(ZSTD_DStreamInSize()), Qt::Uninitialized);
    QByteArray output(qsizetype(ZSTD_DStreamOutSize()), Qt::Uninitialized);
    qint64 written = 0;
    size_t pending = 1;
    while (pending != 0) {
        const qint64 n = patch.read(input.data(), input.size());
        if (n < 0)
            return QStringLiteral("the patch can't be read");
        if (n == 0)
            return QStringLiteral("the patch ends before its frame does");
        ZSTD_inBuffer in{input.constData(), size_t(n), 0};
        while (in.pos < in.size) {
            if (pending == 0)
                return QStringLiteral("the patch holds more than one frame");
            ZSTD_outBuffer outBuffer{output.data(), size_t(output.size()), 0};
            pending = ZSTD_decompressStream(context.get(), &outBuffer, &in);
            if (ZSTD_isError(pending))
                return zstdError(pending);
            written += qint64(outBuffer.pos);
            if (written > contentBytes)
                return QStringLiteral("the frame holds more than it says");
            if (out.write(output.constData(), qint64(outBuffer.pos)) != qint64(outBuffer.pos))
                return QStringLiteral("the rebuilt product can't be written");
        }
    }
    if (!patch.atEnd())
        return QStringLiteral("the patch holds more than one frame");
    if (written != contentBytes)
        return QStringLiteral("the frame holds less than it says");
    return std::nullopt;
}

} // namespace

QString sha256Hex(const QString &path)
{
    QFile file(path);
    openForReading(file);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        throw RuntimeError(ErrPathFileAccess);
    return QString::fromLatin1(hash.result().toHex());
}

QString patchAddress(const QString &productAddress, const QString &baseHash)
{
    return withPathSuffix(productAddress, QStringLiteral(".delta/") + baseHash);
}

int windowLogLimit(qint64 baseBytes, qint64 newBytes)
{
    const int needed = std::bit_width(quint64(std::max<qint64>(baseBytes, 0)) + quint64(std::max<qint64>(newBytes, 0)));
    return std::clamp(needed + 1, kMinWindowLog, kMaxWindowLog);
}

std::optional<QString> applyPatch(const QString &basePath, const QString &patchPath, const QString &outPath)
{
    QFile out(outPath);
    auto removeOut = qScopeGuard([&] {
        out.close();
        QFile::remove(outPath);
    });
    std::optional<QString> failure;
    try {
        QFile patch(patchPath);
        openForReading(patch);
        ZSTD_frameHeader header{};
        if ((failure = headerProblem(patch, header)))
            return failure;
        QFile base(basePath);
        openForReading(base);
        const qint64 contentBytes = qint64(header.frameContentSize);
        const int windowLog = windowLogLimit(base.size(), contentBytes);
        if (header.frameContentSize > (quint64(1) << kMaxWindowLog) || header.windowSize > (quint64(1) << windowLog))
            return QStringLiteral("the frame asks for a window of %1 bytes, more than the %2 it can need")
                .arg(header.windowSize)
                .arg(quint64(1) << windowLog);
        const QByteArray baseBytes = base.readAll();
        if (baseBytes.size() != base.size())
            return QStringLiteral("the product in place can't be read");
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QStringLiteral("the rebuilt product can't be written");
        if ((failure = decompress(patch, baseBytes, windowLog, contentBytes, out)))
            return failure;
        if (!out.flush())
            return QStringLiteral("the rebuilt product can't be written");
    } catch (const RuntimeError &e) {
        return e.description();
    }
    removeOut.dismiss();
    return std::nullopt;
}

} // namespace platform::patch
