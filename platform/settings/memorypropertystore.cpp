#include "platform/settings/memorypropertystore.h"

#include "platform/system/files.h"
#include "platform/core/runtimeerror.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace platform {

std::optional<Variant> MemoryPropertyStore::read(const QString &key) const
{
    const auto found = m_index.constFind(key.toCaseFolded());
    if (found == m_index.constEnd())
        return std::nullopt;
    return m_entries[*found].second;
}

void MemoryPropertyStore::write(const QString &key, const Variant &value)
{
    const QString folded = key.toCaseFolded();
    const auto found = m_index.constFind(folded);
    if (found != m_index.constEnd()) {
        m_entries[*found].second = value;
        return;
    }
    m_index.insert(folded, m_entries.size());
    m_entries.append({key, value});
}

QJsonObject MemoryPropertyStore::toJson() const
{
    QJsonObject object;
    for (const auto &[key, value] : m_entries) {
        switch (value.type()) {
        case Variant::Type::Boolean: object.insert(key, value.toBool()); break;
        case Variant::Type::Integer:
        case Variant::Type::Long: object.insert(key, value.toInt32()); break;
        case Variant::Type::Single:
        case Variant::Type::Double: object.insert(key, value.toDouble()); break;
        case Variant::Type::Empty:
        case Variant::Type::String: object.insert(key, value.toString()); break;
        }
    }
    return object;
}

MemoryPropertyStore MemoryPropertyStore::fromJson(const QJsonObject &object)
{
    MemoryPropertyStore store;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonValue v = it.value();
        if (v.isBool()) {
            store.write(it.key(), Variant(v.toBool()));
        } else if (v.isDouble()) {
            const double d = v.toDouble();
            const bool whole = std::floor(d) == d && d >= std::numeric_limits<std::int32_t>::min()
                && d <= std::numeric_limits<std::int32_t>::max();
            store.write(it.key(), whole ? Variant(static_cast<std::int32_t>(d)) : Variant(d));
        } else if (v.isString()) {
            store.write(it.key(), Variant(v.toString()));
        } else {
            throw RuntimeError(ErrTypeMismatch);
        }
    }
    return store;
}

void MemoryPropertyStore::saveToFile(const QString &path) const
{
    // The save renames a new file over the path: never over a device or a FIFO.
    files::requireRegularFileOrNothing(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(ErrPathFileAccess);
    file.write(QJsonDocument(toJson()).toJson());
    if (!file.commit())
        throw RuntimeError(ErrPathFileAccess);
}

MemoryPropertyStore MemoryPropertyStore::loadFromFile(const QString &path)
{
    // A FIFO or a device would block the read or never end it.
    files::requireRegularFileOrNothing(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(file.exists() ? ErrPermissionDenied : ErrFileNotFound);
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        throw RuntimeError(ErrTypeMismatch);
    return fromJson(doc.object());
}

} // namespace platform
