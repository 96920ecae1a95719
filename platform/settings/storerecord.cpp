#include "platform/settings/storerecord.h"

#include "platform/core/runtimeerror.h"

#include <QJsonDocument>
#include <QtEndian>

namespace platform::storerecord {

std::optional<quint32> bodyLength(QByteArrayView lengthBytes)
{
    if (lengthBytes.size() < kLengthBytes)
        return std::nullopt;
    const quint32 length = qFromLittleEndian<quint32>(lengthBytes.data());
    if (length > kLargestBody)
        return std::nullopt;
    return length;
}

std::optional<MemoryPropertyStore> storeFromBody(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    try {
        return MemoryPropertyStore::fromJson(document.object());
    } catch (const RuntimeError &) {
        // A value that is no setting (null, an array, an object).
        return std::nullopt;
    }
}

QByteArray recordOf(const MemoryPropertyStore &store)
{
    const QByteArray json = QJsonDocument(store.toJson()).toJson(QJsonDocument::Compact);
    QByteArray record(kLengthBytes, '\0');
    qToLittleEndian(quint32(json.size()), record.data());
    return record + json;
}

} // namespace platform::storerecord
