#pragma once

#include <functional>

class QProcess;

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

// Waits for the program to end, dispatching events meanwhile, and returns
// its exit status: -1 when it crashed, or when it didn't end in time (then
// it is killed and the test fails).
int exitStatusOf(QProcess &program, int timeoutMs = 60000);

} // namespace testsupport
