#include "platform/settings/propertybag.h"

namespace platform {

Variant PropertyBag::ReadProperty(const QString &key, const Variant &def) const
{
    return m_store.read(key).value_or(def);
}

void PropertyBag::WriteProperty(const QString &key, const Variant &value, const std::optional<Variant> &def)
{
    if (def && value.sameValue(*def))
        return;
    m_store.write(key, value);
}

} // namespace platform
