#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Release signatures in the format of the minisign tool: Ed25519 over the
// file's BLAKE2b-512 hash (algorithm "ED"), with a trusted comment signed
// together with the signature. A public key is the base64 line of a
// minisign .pub file; a signature text is the content of a .minisig file.
//
// Only prehashed signatures are accepted. Legacy signatures ("Ed", made
// with minisign -l) sign the whole file, which would have to be held in
// memory to be checked; they are refused as an unknown algorithm.
namespace platform::signature {

enum class Verdict {
    Valid,
    MalformedKey,
    MalformedSignature,
    UnknownAlgorithm,
    OtherKey,          // made with a key of another key id
    BadSignature,      // the file is not the one signed
    BadTrustedComment, // the trusted comment is not the one signed
};

struct Check {
    Verdict verdict = Verdict::Valid;
    // Why the check failed, for the user; empty when valid.
    QString description;
    // The trusted comment, once its signature holds.
    QByteArray trustedComment;

    bool valid() const { return verdict == Verdict::Valid; }
};

// The fields of minisign's default trusted comment,
// "timestamp:<unix seconds>\tfile:<name>\thashed", each when it is there.
struct TrustedFields {
    std::optional<qint64> timestamp;
    std::optional<QString> file;
};
TrustedFields trustedFields(const QByteArray &trustedComment);

// The trusted comment of signatureText when its signature by publicKey
// holds (whatever file it signs); nothing otherwise.
std::optional<QByteArray> verifiedTrustedComment(const QByteArray &signatureText, const QString &publicKey);

// Why publicKey isn't a minisign public key; nothing when it is one.
std::optional<QString> keyProblem(const QString &publicKey);

// Checks the file at path, read in chunks, against signatureText made with
// the key publicKey (surrounding blanks ignored). Lines after the fourth of
// the signature are ignored. A file that can't be read raises a
// RuntimeError (53 when it is missing, else 75).
Check verifyFile(const QString &path, const QByteArray &signatureText, const QString &publicKey);

// The start of a signature file, at most maxSignatureBytes: a signature
// fits in far less, so a longer file can't hold one. Raises like verifyFile.
inline constexpr qint64 maxSignatureBytes = 64 * 1024;
QByteArray readSignatureFile(const QString &path);

// The name of the signature kept beside a placed product: its own name and
// this.
inline constexpr QLatin1String keptSignatureSuffix(".minisig");

// Where a product's signature lies: its address with ".minisig" after the
// path, so that a query or fragment stays at the end.
QString signatureAddress(const QString &productAddress);

} // namespace platform::signature
