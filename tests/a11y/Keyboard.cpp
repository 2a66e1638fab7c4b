#include "Keyboard.h"

#include "CommandProcess.h"

#include <sstream>

namespace a11y {

using namespace std::chrono_literals;

bool Keyboard::run(const std::vector<std::string>& arguments, std::string* out) {
  e2e::CommandProcess xdotool("xdotool", arguments);
  const auto status = xdotool.wait(15s);
  if (out) *out = xdotool.out();
  if (status == 0) return true;
  lastError_ = "xdotool";
  for (const auto& argument : arguments) lastError_ += " " + argument;
  lastError_ += ": " + (status ? "exit " + std::to_string(*status) : std::string("no exit")) + " " + xdotool.err();
  return false;
}

bool Keyboard::focusWindowOf(pid_t pid) {
  std::string windows;
  if (!run({"search", "--sync", "--onlyvisible", "--pid", std::to_string(pid)}, &windows)) return false;
  std::istringstream lines(windows);
  std::string window;
  if (!std::getline(lines, window) || window.empty()) {
    lastError_ = "no visible window of process " + std::to_string(pid);
    return false;
  }
  return run({"windowfocus", "--sync", window});
}

bool Keyboard::press(const std::vector<std::string>& keys) {
  std::vector<std::string> arguments{"key", "--delay", "150"};
  arguments.insert(arguments.end(), keys.begin(), keys.end());
  return run(arguments);
}

}  // namespace a11y
