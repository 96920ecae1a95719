#include "platform/com/typelib/typetable.h"

namespace platform::com {

const char *typeName(const TypeEntry &entry)
{
    return std::visit([](const auto *info) { return info->name; }, entry);
}

int toolboxBitmapResource(const TypeLibraryInfo &lib, const ClassInfo &cls)
{
    const std::vector<const ClassInfo *> classes = typesOf<ClassInfo>(lib);
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (classes[i] == &cls)
            return int(i) + 2;
    }
    return 0;
}

} // namespace platform::com
