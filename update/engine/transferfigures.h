#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>

// The figures of the transfer panel, from the read service's counts and the
// whole seconds elapsed, and the names of the read's status codes for the
// log. Results that would leave 32 bits are clamped.

// "m:ss": whole minutes (never carried into hours), then the seconds as two
// digits; a negative number of seconds gets a leading minus ("-1:05").
QString MinSec(qint64 seconds);

// The name of a URL binding status code as the log writes it; empty for a
// code without a name.
QString StatusCodeName(std::int16_t code);

// BytesRead / BytesMax * 100, for a known total.
double transferPercent(qint64 bytesRead, qint64 bytesMax);

// The bar's value for a percentage: the nearest whole number, halves to the
// even neighbour.
std::int32_t barValue(double percent);

// Whole seconds between two clock readings in seconds, halves to even.
std::int32_t elapsedSeconds(double startSeconds, double nowSeconds);

// Seconds still to go if the rest arrives as fast as the part so far:
// 100 / percent * t - t, to the nearest whole number, halves to even.
std::int32_t remainingSeconds(qint64 bytesRead, qint64 bytesMax, std::int32_t elapsed);

// Bytes per second so far, to the nearest whole number, halves to even.
std::int32_t bytesPerSecond(qint64 bytesRead, std::int32_t elapsed);
