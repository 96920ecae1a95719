#pragma once

#include <QString>
#include <optional>

// Binary patches between releases: one zstd frame made by
// "zstd --patch-from=OLD NEW", which holds NEW compressed with OLD as its
// prefix, published under the SHA-256 of OLD.
namespace platform::patch {

// The SHA-256 of the file at path in lower-case hexadecimal, read in
// chunks. Raises a RuntimeError (53 when it is missing, else 75).
QString sha256Hex(const QString &path);

// Where the patch from the release whose hash is baseHash lies: the
// product's address with ".delta/" and the hash after the path, so that a
// query or fragment stays at the end.
QString patchAddress(const QString &productAddress, const QString &baseHash);

// The largest window (as a power of two) a patch from baseBytes to
// newBytes can need: both within it, with room to spare, never over 2 GiB
// (1 GiB in a 32-bit process).
int windowLogLimit(qint64 baseBytes, qint64 newBytes);

// Rebuilds the new release into outPath from the base release at basePath
// and the patch at patchPath; nothing when done, else why not, with
// outPath removed. A patch must be one frame that names its content's size
// and carries its checksum (so a patch for another base fails it), and
// must not ask for more window than windowLogLimit allows.
std::optional<QString> applyPatch(const QString &basePath, const QString &patchPath, const QString &outPath);

} // namespace platform::patch
