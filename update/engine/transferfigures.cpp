#include "transferfigures.h"

#include "platform/core/variant.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::int32_t clampedRound(double x)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(x))
        return 0;
    return platform::roundToInt32(std::clamp(x, lowest, highest));
}

} // namespace

QString MinSec(qint64 seconds)
{
    // The magnitude in unsigned arithmetic, so even the lowest value has one.
    const quint64 magnitude = seconds < 0 ? 0 - quint64(seconds) : quint64(seconds);
    return (seconds < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 60) + QLatin1Char(':')
        + QStringLiteral("%1").arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString StatusCodeName(std::int16_t code)
{
    switch (code) {
    case 0: return QStringLiteral("vbAsyncStatusCodeError");
    case 1: return QStringLiteral("vbAsyncStatusCodeFindingResource");
    case 2: return QStringLiteral("vbAsyncStatusCodeConnecting");
    case 3: return QStringLiteral("vbAsyncStatusCodeRedirecting");
    case 4: return QStringLiteral("vbAsyncStatusCodeBeginDownloadData");
    case 5: return QStringLiteral("vbAsyncStatusCodeDownloadingData");
    case 6: return QStringLiteral("vbAsyncStatusCodeEndDownloadData");
    case 10: return QStringLiteral("vbAsyncStatusCodeUsingCachedCopy");
    case 11: return QStringLiteral("vbAsyncStatusCodeSendingRequest");
    case 13: return QStringLiteral("vbAsyncStatusCodeMIMETypeAvailable");
    case 14: return QStringLiteral("vbAsyncStatusCodeCacheFileNameAvailable");
    case 15: return QStringLiteral("vbAsyncStatusCodeBeginSyncOperation");
    case 16: return QStringLiteral("vbAsyncStatusCodeEndSyncOperation");
    default: return QString();
    }
}

double transferPercent(qint64 bytesRead, qint64 bytesMax)
{
    return double(bytesRead) / double(bytesMax) * 100;
}

std::int32_t barValue(double percent)
{
    return clampedRound(percent);
}

std::int32_t elapsedSeconds(double startSeconds, double nowSeconds)
{
    return clampedRound(nowSeconds - startSeconds);
}

std::int32_t remainingSeconds(qint64 bytesRead, qint64 bytesMax, std::int32_t elapsed)
{
    const double t = elapsed;
    return clampedRound(100 / transferPercent(bytesRead, bytesMax) * t - t);
}

std::int32_t bytesPerSecond(qint64 bytesRead, std::int32_t elapsed)
{
    return clampedRound(double(bytesRead) / elapsed);
}
