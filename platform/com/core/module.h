#pragma once

#include "platform/com/core/types.h"

#include <QString>

namespace platform::com {

// The live objects and server locks of this module (one per deliverable,
// since each has its own copy of the runtime): what DllCanUnloadNow reports.
class Module {
public:
    static void objectCreated();
    static void objectDestroyed();
    static void lock();
    static void unlock();
    // From now on the module must stay loaded (it started Qt).
    static void keepLoaded();
    // S_OK when no object is alive, no lock held and nothing keeps the
    // module loaded, otherwise S_FALSE.
    static HRESULT canUnloadNow();
};

// The absolute path of the loaded file (library or program) that contains
// the address; empty when none does.
QString modulePathOf(const void *address);

} // namespace platform::com
