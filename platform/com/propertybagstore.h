#pragma once

#include "platform/com/persist.h"
#include "platform/propertystore.h"

namespace platform::com {

// The host's IPropertyBag seen as a platform::PropertyStore, so that a
// control's restore and save (written against platform::PropertyBag) run
// over whatever bag the host hands in. Key case is the bag's business.
class PropertyBagStore : public platform::PropertyStore {
public:
    explicit PropertyBagStore(IPropertyBag *bag) : m_bag(bag) {}

    // Nothing when the bag has no value under the key; raises "Type
    // mismatch" for a value this runtime can't carry.
    std::optional<platform::Variant> read(const QString &key) const override;
    // Raises the bag's failure as a run-time error.
    void write(const QString &key, const platform::Variant &value) override;

private:
    IPropertyBag *m_bag;
};

} // namespace platform::com
