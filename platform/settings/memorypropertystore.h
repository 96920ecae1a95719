#pragma once

#include "platform/settings/propertystore.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPair>

namespace platform {

// A property store in memory, kept in the order keys were first written,
// that a host can keep as a JSON object (texts, Booleans and numbers).
class MemoryPropertyStore : public PropertyStore {
public:
    std::optional<Variant> read(const QString &key) const override;
    void write(const QString &key, const Variant &value) override;

    int size() const { return int(m_entries.size()); }
    // Stored entries in write order, with the keys as first written.
    const QList<QPair<QString, Variant>> &entries() const { return m_entries; }

    QJsonObject toJson() const;
    static MemoryPropertyStore fromJson(const QJsonObject &object);
    // File forms; failures raise a RuntimeError (53, 75, or 13 for bad JSON).
    // A save goes only where a regular file is or nothing is.
    void saveToFile(const QString &path) const;
    static MemoryPropertyStore loadFromFile(const QString &path);

private:
    QList<QPair<QString, Variant>> m_entries;
    // Position in m_entries by case-folded key, so a lookup costs the same
    // in a bag of any size.
    QHash<QString, qsizetype> m_index;
};

} // namespace platform
