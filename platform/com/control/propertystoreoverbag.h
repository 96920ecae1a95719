#pragma once

#include "platform/com/core/persistinterfaces.h"
#include "platform/settings/propertystore.h"

namespace platform::com {

// The control's side of a restore or save: the IPropertyBag the host hands
// to Load or Save, seen as a platform::PropertyStore, so that the control's
// own code (written against platform::PropertyBag) runs over whatever bag
// the host gives. Key case is the bag's business.
class PropertyStoreOverBag : public platform::PropertyStore {
public:
    explicit PropertyStoreOverBag(IPropertyBag *bag) : m_bag(bag) {}

    // Nothing when the bag has no value under the key; raises "Type
    // mismatch" for a value this runtime can't carry.
    std::optional<platform::Variant> read(const QString &key) const override;
    // Raises the bag's failure as a run-time error.
    void write(const QString &key, const platform::Variant &value) override;

private:
    IPropertyBag *m_bag;
};

} // namespace platform::com
