#pragma once

#include <functional>

namespace velquor::qt {

// Runs `task` on a later turn of the application's event loop, never inside this call.
void postToMainLoop(std::function<void()> task);

// Runs `task` after `milliseconds` on the application's event loop, once.
void postToMainLoopAfter(int milliseconds, std::function<void()> task);

}  // namespace velquor::qt
