#pragma once

#include "platform/settings/propertystore.h"

#include <optional>

namespace platform {

// What a control sees of the host's store while it restores or saves:
// reads with a default for absent keys, writes that leave out a value
// equal to the default given.
class PropertyBag {
public:
    explicit PropertyBag(PropertyStore &store) : m_store(store) {}

    // The stored value under key (any letter case), or def when absent.
    Variant ReadProperty(const QString &key, const Variant &def = Variant()) const;
    // Stores value under key unless it equals def; without def it is always stored.
    void WriteProperty(const QString &key, const Variant &value, const std::optional<Variant> &def = std::nullopt);

private:
    PropertyStore &m_store;
};

} // namespace platform
