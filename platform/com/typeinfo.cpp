#include "platform/com/typeinfo.h"

namespace platform::com {

const char *typeName(const TypeEntry &entry)
{
    return std::visit([](const auto *info) { return info->name; }, entry);
}

} // namespace platform::com
