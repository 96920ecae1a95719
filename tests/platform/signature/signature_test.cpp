#include "platform/signature/signature.h"

#include "tests/support/httptestserver.h"
#include "tests/support/minisignkey.h"
#include "tests/support/runtimeerrorof.h"

#include <QFile>
#include <QTemporaryDir>
#include <utility>
#include <gtest/gtest.h>

using platform::signature::Verdict;
using platform::signature::verifyFile;
using testsupport::MinisignKey;

namespace {

// The text with its line at index replaced.
QByteArray withLine(const QByteArray &text, int index, const QByteArray &line)
{
    QList<QByteArray> lines = text.split('\n');
    lines[index] = line;
    return lines.join('\n');
}

// The base64 line with bytes written over its decoded form at offset.
QByteArray patched(const QByteArray &base64, int offset, const QByteArray &bytes)
{
    QByteArray raw = QByteArray::fromBase64(base64);
    raw.replace(offset, bytes.size(), bytes);
    return raw.toBase64();
}

TEST(Signature, GoodSignaturesHoldAndEveryFlawIsNamed)
{
    QTemporaryDir dir;
    const QString product = dir.filePath("product.bin");
    // More than one chunk of the hash's reads.
    const QByteArray content = testsupport::HttpTestServer::pattern(0, 300'000);
    QFile f(product);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    const MinisignKey key;
    const MinisignKey otherKey;
    const QByteArray signature = key.sign(content, {"-t", "tarnwick 2.0"});
    const QByteArray other = otherKey.sign(content);
    const auto line = [](const QByteArray &text, int index) { return text.split('\n').value(index); };
    const QByteArray ownKeyId = QByteArray::fromBase64(line(signature, 1)).mid(2, 8);
    const QByteArray publicKey = key.publicKey().toLatin1();
    const struct {
        const char *name;
        QByteArray signature;
        QByteArray key;
        Verdict verdict;
    } cases[] = {
        {"as made", signature, publicKey, Verdict::Valid},
        {"CR LF", QByteArray(signature).replace("\n", "\r\n"), " " + publicKey + "\n", Verdict::Valid},
        {"edited untrusted comment", withLine(signature, 0, "untrusted comment: edited"), publicKey, Verdict::Valid},
        {"another key", other, publicKey, Verdict::OtherKey},
        {"another key under this key's id", withLine(other, 1, patched(line(other, 1), 2, ownKeyId)), publicKey,
         Verdict::BadSignature},
        {"edited trusted comment", withLine(signature, 2, line(signature, 2) + " edited"), publicKey,
         Verdict::BadTrustedComment},
        {"legacy", key.sign(content, {"-l"}), publicKey, Verdict::UnknownAlgorithm},
        {"unknown algorithm", withLine(signature, 1, patched(line(signature, 1), 0, "XX")), publicKey,
         Verdict::UnknownAlgorithm},
        {"empty", "", publicKey, Verdict::MalformedSignature},
        {"three lines", signature.left(signature.lastIndexOf('\n', signature.size() - 2)), publicKey,
         Verdict::MalformedSignature},
        {"not base64", withLine(signature, 1, "RU*" + line(signature, 1).mid(3)), publicKey,
         Verdict::MalformedSignature},
        {"short", withLine(signature, 1, line(signature, 1).left(96)), publicKey, Verdict::MalformedSignature},
        {"no trusted comment", withLine(signature, 2, "tc"), publicKey, Verdict::MalformedSignature},
        {"empty key", signature, "", Verdict::MalformedKey},
        {"key too long", signature, line(signature, 1), Verdict::MalformedKey},
        {"key of another algorithm", signature, patched(publicKey, 0, "XX"), Verdict::MalformedKey},
    };
    for (const auto &c : cases) {
        const platform::signature::Check check = verifyFile(product, c.signature, QString::fromLatin1(c.key));
        EXPECT_EQ(check.verdict, c.verdict) << c.name << ": " << qPrintable(check.description);
        EXPECT_EQ(check.description.isEmpty(), check.valid()) << c.name;
    }
    EXPECT_EQ(testsupport::runtimeErrorOf([&] { verifyFile(dir.filePath("none"), signature, key.publicKey()); }), 53);
}

TEST(Signature, LiesBesideTheProductsPathBeforeAnyQuery)
{
    const std::pair<QString, QString> cases[] = {
        {"http://h/p/tarnwick.exe", "http://h/p/tarnwick.exe.minisig"},
        {"http://h/tarnwick.exe?channel=beta#top", "http://h/tarnwick.exe.minisig?channel=beta#top"},
        {"http://h/tarnwick.exe#top", "http://h/tarnwick.exe.minisig#top"},
        {"http://h/dl\\tarnwick.exe", "http://h/dl\\tarnwick.exe.minisig"},
    };
    for (const auto &[product, signature] : cases)
        EXPECT_EQ(platform::signature::signatureAddress(product), signature) << qPrintable(product);
}

} // namespace
