#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace a11y {

// Keys as a user without a pointer presses them, through the X server (XTEST, by xdotool): they go
// where the keyboard focus is, as real key presses do.
class Keyboard {
 public:
  // Gives the keyboard focus to the visible top-level window of process `pid` (a window manager
  // would do it when the window is shown; a bare virtual display has none). False when it has no
  // such window within a few seconds.
  bool focusWindowOf(pid_t pid);
  // Presses each key in turn (X key names: "Tab", "Escape", "Return", "shift+Tab", ...).
  bool press(const std::vector<std::string>& keys);

  // What xdotool said when a call failed.
  const std::string& lastError() const { return lastError_; }

 private:
  bool run(const std::vector<std::string>& arguments, std::string* out = nullptr);
  std::string lastError_;
};

}  // namespace a11y
