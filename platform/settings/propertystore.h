#pragma once

#include "platform/core/variant.h"

#include <QString>
#include <optional>

namespace platform {

// The host's keyed store of a control's saved settings. Implementations
// match keys without regard to case.
class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    // The stored value, or nothing when the key is absent.
    virtual std::optional<Variant> read(const QString &key) const = 0;
    // Stores the value under the key, replacing one stored under any case of it.
    virtual void write(const QString &key, const Variant &value) = 0;
};

} // namespace platform
