#pragma once

#include <QByteArray>

namespace testsupport {

// Release number of a program of about size bytes: releases share most of
// their bytes, as two builds do.
QByteArray sampleRelease(int number, qsizetype size);

// A patch from base to next as "zstd --patch-from=BASE NEXT" makes one: a
// frame that names its content's size, with its checksum unless told not.
QByteArray makePatch(const QByteArray &base, const QByteArray &next, bool checksum = true);

// A frame header that asks for a 1 GiB window to rebuild 300 bytes,
// followed by a block of nonsense.
QByteArray absurdWindowFrame();

} // namespace testsupport
