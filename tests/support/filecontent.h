#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport {

// Writes the bytes as the file's whole content (a failure fails the test).
void writeBytes(const QString &path, const QByteArray &bytes);
// The file's whole content; empty when it can't be read.
QByteArray readBytes(const QString &path);

} // namespace testsupport
