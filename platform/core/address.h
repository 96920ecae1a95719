#pragma once

#include <QString>

namespace platform {

// The address with suffix after its path, so that a query or fragment
// stays at the end: what lies beside a product (its signature, its
// patches) is named this way.
QString withPathSuffix(const QString &address, const QString &suffix);

} // namespace platform
