#pragma once

#include <functional>

namespace testsupport {

// Dispatches events (blocking between them) until done() is true or
// timeoutMs have passed; returns done(). A guard against hanging tests.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 20000);

} // namespace testsupport
