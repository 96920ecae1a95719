#pragma once

#include <functional>

namespace testsupport {

// Dispatches events (blocking between them) until done() is true or
// timeoutMs have passed; returns done(). A guard against hanging tests.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 20000);

// Dispatches events for ms milliseconds.
void pause(int ms);

// Checks done() every few milliseconds, dispatching events in between, until
// it is true or timeoutMs have passed; returns done(). For conditions that
// change without an event of this process (files, other programs).
bool poll(const std::function<bool()> &done, int timeoutMs);

} // namespace testsupport
