#pragma once

#include <functional>

namespace platform {

// Dispatches every pending event of the thread, then returns.
void DoEvents();

// Keeps dispatching events, nested, until done() is true. Blocks in the
// event loop between events instead of spinning; done() must become true
// through an event (a signal, a timer, a host call made from an event).
void waitUntil(const std::function<bool()> &done);

// Keeps dispatching events until a little more than the given seconds have
// passed on the monotonic clock; blocks between events.
void waitSeconds(double seconds);

} // namespace platform
