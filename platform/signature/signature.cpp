#include "platform/signature/signature.h"

#include "platform/core/address.h"
#include "platform/core/runtimeerror.h"

#include <QFile>
#include <QList>
#include <algorithm>
#include <array>
#include <optional>
#include <sodium.h>

namespace platform::signature {

namespace {

constexpr qsizetype kAlgorithmBytes = 2;
constexpr qsizetype kKeyIdBytes = 8;
constexpr qsizetype kPublicKeyBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES;
constexpr qsizetype kSignatureBytes = kAlgorithmBytes + kKeyIdBytes + crypto_sign_BYTES;
constexpr qint64 kChunkBytes = 64 * 1024;

const QByteArray kKeyAlgorithm = "Ed";
const QByteArray kPrehashed = "ED";
const QByteArray kLegacy = "Ed";
const QByteArray kUntrustedPrefix = "untrusted comment: ";
const QByteArray kTrustedPrefix = "trusted comment: ";

using Hash = std::array<unsigned char, crypto_generichash_BYTES_MAX>;

struct PublicKey {
    QByteArray keyId;
    QByteArray key;
};

struct Signature {
    QByteArray algorithm;
    QByteArray keyId;
    QByteArray signature;
    QByteArray trustedComment;
    QByteArray globalSignature;
};

const unsigned char *bytes(const QByteArray &data)
{
    return reinterpret_cast<const unsigned char *>(data.constData());
}

// Strict base64 of exactly size bytes.
std::optional<QByteArray> decode(const QByteArray &text, qsizetype size)
{
    const auto result = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.size() != size)
        return std::nullopt;
    return result.decoded;
}

std::optional<PublicKey> parseKey(const QString &text)
{
    const std::optional<QByteArray> raw = decode(text.trimmed().toLatin1(), kPublicKeyBytes);
    if (!raw || !raw->startsWith(kKeyAlgorithm))
        return std::nullopt;
    return PublicKey{raw->mid(kAlgorithmBytes, kKeyIdBytes), raw->mid(kAlgorithmBytes + kKeyIdBytes)};
}

std::optional<Signature> parseSignature(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 4)
        return std::nullopt;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (!lines[0].startsWith(kUntrustedPrefix) || !lines[2].startsWith(kTrustedPrefix))
        return std::nullopt;
    const std::optional<QByteArray> raw = decode(lines[1], kSignatureBytes);
    const std::optional<QByteArray> global = decode(lines[3], crypto_sign_BYTES);
    if (!raw || !global)
        return std::nullopt;
    return Signature{raw->left(kAlgorithmBytes), raw->mid(kAlgorithmBytes, kKeyIdBytes),
                     raw->mid(kAlgorithmBytes + kKeyIdBytes), lines[2].mid(kTrustedPrefix.size()), *global};
}

// A key id as minisign shows it: a little-endian number in hexadecimal.
QString keyIdText(QByteArray keyId)
{
    std::reverse(keyId.begin(), keyId.end());
    return QString::fromLatin1(keyId.toHex().toUpper());
}

void openForReading(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw RuntimeError(file.exists() ? ErrPathFileAccess : ErrFileNotFound);
}

Hash hashFile(const QString &path)
{
    QFile file(path);
    openForReading(file);
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, Hash().size());
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    qint64 n;
    while ((n = file.read(chunk.data(), chunk.size())) > 0)
        crypto_generichash_update(&state, bytes(chunk), quint64(n));
    if (n < 0)
        throw RuntimeError(ErrPathFileAccess);
    Hash hash;
    crypto_generichash_final(&state, hash.data(), hash.size());
    return hash;
}

// The global signature covers the file's signature and the trusted comment.
bool commentHolds(const Signature &signature, const PublicKey &key)
{
    const QByteArray signedComment = signature.signature + signature.trustedComment;
    return crypto_sign_verify_detached(bytes(signature.globalSignature), bytes(signedComment),
                                       quint64(signedComment.size()), bytes(key.key))
           == 0;
}

Check failed(Verdict verdict, const QString &description)
{
    return Check{verdict, description, {}};
}

} // namespace

std::optional<QString> keyProblem(const QString &publicKey)
{
    if (parseKey(publicKey))
        return std::nullopt;
    return QStringLiteral("Malformed public key");
}

Check verifyFile(const QString &path, const QByteArray &signatureText, const QString &publicKey)
{
    if (sodium_init() < 0)
        throw RuntimeError(ErrInvalidCall, QStringLiteral("The signature library could not start"));
    const std::optional<PublicKey> key = parseKey(publicKey);
    if (!key)
        return failed(Verdict::MalformedKey, QStringLiteral("Malformed public key"));
    const std::optional<Signature> signature = parseSignature(signatureText);
    if (!signature)
        return failed(Verdict::MalformedSignature, QStringLiteral("Malformed signature"));
    if (signature->algorithm == kLegacy)
        return failed(Verdict::UnknownAlgorithm,
                      QStringLiteral("Legacy signature (minisign -l) not accepted; sign without -l"));
    if (signature->algorithm != kPrehashed)
        return failed(Verdict::UnknownAlgorithm, QStringLiteral("Unknown signature algorithm"));
    if (signature->keyId != key->keyId)
        return failed(Verdict::OtherKey, QStringLiteral("Signed with another key (key id %1 instead of %2)")
                                             .arg(keyIdText(signature->keyId), keyIdText(key->keyId)));
    const Hash hash = hashFile(path);
    if (crypto_sign_verify_detached(bytes(signature->signature), hash.data(), hash.size(), bytes(key->key)) != 0)
        return failed(Verdict::BadSignature, QStringLiteral("The signature does not match the file"));
    if (!commentHolds(*signature, *key))
        return failed(Verdict::BadTrustedComment, QStringLiteral("The trusted comment does not match its signature"));
    return Check{Verdict::Valid, QString(), signature->trustedComment};
}

TrustedFields trustedFields(const QByteArray &trustedComment)
{
    TrustedFields fields;
    for (const QByteArray &field : trustedComment.split('\t')) {
        if (field.startsWith("timestamp:")) {
            bool number = false;
            const qint64 seconds = field.mid(10).toLongLong(&number);
            if (number)
                fields.timestamp = seconds;
        } else if (field.startsWith("file:")) {
            fields.file = QString::fromUtf8(field.mid(5));
        }
    }
    return fields;
}

std::optional<QByteArray> verifiedTrustedComment(const QByteArray &signatureText, const QString &publicKey)
{
    if (sodium_init() < 0)
        return std::nullopt;
    const std::optional<PublicKey> key = parseKey(publicKey);
    const std::optional<Signature> signature = parseSignature(signatureText);
    if (!key || !signature || signature->keyId != key->keyId || !commentHolds(*signature, *key))
        return std::nullopt;
    return signature->trustedComment;
}

QByteArray readSignatureFile(const QString &path)
{
    QFile file(path);
    openForReading(file);
    QByteArray text = file.read(maxSignatureBytes);
    if (file.error() != QFileDevice::NoError)
        throw RuntimeError(ErrPathFileAccess);
    return text;
}

QString signatureAddress(const QString &productAddress)
{
    return withPathSuffix(productAddress, QStringLiteral(".minisig"));
}

} // namespace platform::signature
