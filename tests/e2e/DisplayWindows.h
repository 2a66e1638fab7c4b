#pragma once

#include <chrono>
#include <string>

namespace e2e {

// Asks the top-level window titled `title` on the X display of DISPLAY to close, as a window
// manager's close button does (WM_DELETE_WINDOW), once such a window exists. False when none
// appears within `timeout`.
bool closeWindowTitled(const std::string& title, std::chrono::milliseconds timeout);

}  // namespace e2e
