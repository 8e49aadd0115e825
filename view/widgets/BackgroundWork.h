#pragma once

#include <atomic>
#include <functional>

// Runs `work` on a thread of its own and waits for it while this thread goes on painting and
// running its timers, so that a network request does not freeze the window. Meanwhile the
// mouse shows the wait cursor and key and mouse input to the program's windows is held back
// (no command can start inside the wait), except that Escape raises the flag `work` is
// handed; `work` passes it on to its requests, which then end early. Returns true when
// `work` ran to its end, false when Escape stopped it. `work` must not touch widgets or
// anything else this thread may change meanwhile.
bool RunInBackground(const std::function<void(const std::atomic<bool> &stop)> &work);
