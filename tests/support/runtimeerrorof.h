#pragma once

#include "platform/core/runtimeerror.h"

namespace testsupport {

// The number of the run-time error that call raises, or 0 when it raises none.
template <typename F>
int runtimeErrorOf(F &&call)
{
    try {
        call();
    } catch (const platform::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace testsupport
