#pragma once

#include "platform/settings/memorypropertystore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// A property store as one record of a stream (the Windows edition's
// IPersistStreamInit): the length of its JSON as 32 bits, little-endian,
// then the JSON object itself.
namespace platform::storerecord {

inline constexpr qsizetype kLengthBytes = 4;
// More than any control's settings: a longer record is damage, not settings.
inline constexpr quint32 kLargestBody = 1 << 20;

// The body length the record's first kLengthBytes announce; none when
// fewer bytes are given or the length passes kLargestBody.
std::optional<quint32> bodyLength(QByteArrayView lengthBytes);
// The store a body holds; none when it isn't a JSON object of texts,
// Booleans and numbers.
std::optional<MemoryPropertyStore> storeFromBody(const QByteArray &body);
// The whole record of a store.
QByteArray recordOf(const MemoryPropertyStore &store);

} // namespace platform::storerecord
