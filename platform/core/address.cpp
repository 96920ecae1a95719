#include "address.h"

#include <algorithm>

namespace platform {

QString withPathSuffix(const QString &address, const QString &suffix)
{
    const auto end = std::find_if(address.cbegin(), address.cend(),
                                  [](QChar c) { return c == QLatin1Char('?') || c == QLatin1Char('#'); });
    QString result = address;
    return result.insert(int(end - address.cbegin()), suffix);
}

} // namespace platform
