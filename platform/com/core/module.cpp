#include "platform/com/core/module.h"

namespace platform::com {

namespace {
// Every call comes from the user-interface thread; no lock is needed.
long g_objects = 0;
long g_locks = 0;
bool g_keepLoaded = false;
} // namespace

void Module::objectCreated() { ++g_objects; }
void Module::objectDestroyed() { --g_objects; }
void Module::lock() { ++g_locks; }
void Module::unlock()
{
    if (g_locks > 0)
        --g_locks;
}

void Module::keepLoaded() { g_keepLoaded = true; }

HRESULT Module::canUnloadNow()
{
    return g_objects == 0 && g_locks == 0 && !g_keepLoaded ? S_OK : S_FALSE;
}

} // namespace platform::com
