#pragma once

#include "propertystore.h"

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
    void saveToFile(const QString &path) const;
    static MemoryPropertyStore loadFromFile(const QString &path);

private:
    qsizetype indexOf(const QString &key) const;

    QList<QPair<QString, Variant>> m_entries;
};

} // namespace platform
