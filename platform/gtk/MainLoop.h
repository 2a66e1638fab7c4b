#pragma once

#include <functional>

namespace velquor::gtk {

// Runs `task` on a later turn of the default main context, never inside this call.
void postToMainLoop(std::function<void()> task);

// Runs `task` after `milliseconds` on the default main context, once.
void postToMainLoopAfter(unsigned milliseconds, std::function<void()> task);

}  // namespace velquor::gtk
