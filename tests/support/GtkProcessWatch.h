#pragma once

// What the GTK tests and the checkout benchmark both need from the running process: turning the
// GLib main loop until something holds, and the WebKit web processes this process has started.

#include <glib.h>

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velquor_testing {

// Turns the GLib main loop until `condition` holds or `timeout` passes; false on timeout.
inline bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A ticking source, so that an iteration never blocks past the deadline.
  const guint tick = g_timeout_add(5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = condition();
  while (!held && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    held = condition();
  }
  g_source_remove(tick);
  return held;
}

// Turns the main loop for `duration`, whatever happens.
inline void spinFor(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

namespace detail {

inline std::string procLine(pid_t pid, const char* name) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
  std::string line;
  std::getline(file, line);
  return line;
}

inline pid_t parentOf(pid_t pid) {
  // "pid (comm) state ppid ...": comm may hold spaces and parentheses, so read after the last ')'.
  const std::string stat = procLine(pid, "stat");
  const auto end = stat.rfind(')');
  if (end == std::string::npos || end + 4 >= stat.size()) return 0;
  return static_cast<pid_t>(std::strtol(stat.c_str() + end + 4, nullptr, 10));
}

}  // namespace detail

// The WebKit web processes this process has started, in /proc order. They run under a sandbox
// launcher, so they are its descendants rather than its children.
inline std::vector<pid_t> ownWebProcesses() {
  // The name the kernel gives WebKitWebProcess (15 characters at most).
  constexpr std::string_view kWebProcessName = "WebKitWebProces";
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (!proc) return found;
  const pid_t self = getpid();
  while (const dirent* entry = readdir(proc)) {
    const auto pid = static_cast<pid_t>(std::strtol(entry->d_name, nullptr, 10));
    if (pid <= 0 || detail::procLine(pid, "comm") != kWebProcessName) continue;
    for (pid_t parent = detail::parentOf(pid); parent > 1; parent = detail::parentOf(parent)) {
      if (parent == self) {
        found.push_back(pid);
        break;
      }
    }
  }
  closedir(proc);
  return found;
}

inline std::size_t ownWebProcessCount() { return ownWebProcesses().size(); }

}  // namespace velquor_testing
