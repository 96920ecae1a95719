#include "platform/com/typeinfo.h"

namespace platform::com {

std::vector<const ClassInfo *> classesOf(const TypeLibraryInfo &lib)
{
    std::vector<const ClassInfo *> result;
    for (const TypeEntry &entry : lib.types) {
        if (const auto *cls = std::get_if<const ClassInfo *>(&entry))
            result.push_back(*cls);
    }
    return result;
}

std::vector<const InterfaceInfo *> interfacesOf(const TypeLibraryInfo &lib)
{
    std::vector<const InterfaceInfo *> result;
    for (const TypeEntry &entry : lib.types) {
        if (const auto *iface = std::get_if<const InterfaceInfo *>(&entry))
            result.push_back(*iface);
    }
    return result;
}

const char *typeName(const TypeEntry &entry)
{
    return std::visit([](const auto *info) { return info->name; }, entry);
}

} // namespace platform::com
