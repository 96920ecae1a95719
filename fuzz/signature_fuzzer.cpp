// Minisign signatures and public keys as the update control reads them.
#include "fuzz/fuzzsupport.h"
#include "platform/signature/signature.h"

namespace {

// The key of the checked-in signature (corpus/signature/minisign.pub), and
// another key under the same key id: the same id, other key bytes.
const QString kKey = QStringLiteral("RWR9LlAE+ImqWNVytDlMBkTSHIQGajqBhEi6t8rqN0lhec9aygEK2J+K");
const QByteArray kOtherKeyBytes =
    QByteArray::fromBase64("RWTRs19EXSZegr0ajQwaaXSO7Eh4Rlk6dq/cE3c7uCu8V74NM9JcCGj/").mid(10);

QString sameIdOtherKey()
{
    return QString::fromLatin1((QByteArray::fromBase64(kKey.toLatin1()).left(10) + kOtherKeyBytes).toBase64());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzsupport::inputOf(data, size);
    // The input as a key, as a saved PublicKey would be.
    platform::signature::keyProblem(QString::fromLatin1(input));
    if (const std::optional<QByteArray> comment = platform::signature::verifiedTrustedComment(input, kKey)) {
        fuzzsupport::mustHold(!platform::signature::verifiedTrustedComment(input, sameIdOtherKey()),
                              "a signature that holds under one key holds under no other");
        platform::signature::trustedFields(*comment);
    }
    platform::signature::trustedFields(input);
    return 0;
}
