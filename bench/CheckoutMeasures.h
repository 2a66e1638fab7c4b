#pragma once

// What the checkout benchmark reads off the process and the machine: the main loop, medians,
// resident size, and the web processes this process has started.

#include <glib.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Turns the GLib main loop until `condition` holds or `timeout` passes; false on timeout.
inline bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  // A ticking source, so that an iteration never blocks past the deadline.
  const guint tick = g_timeout_add(
      5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  bool held = condition();
  while (!held && Clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
    held = condition();
  }
  g_source_remove(tick);
  return held;
}

inline void spinFor(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

// The median; the mean of the middle two for an even count. Zero for none.
inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// This process's resident set size in bytes, from /proc/self/statm.
std::size_t residentBytes();

// What the resident size is made of, from /proc/self/status (bytes): anonymous memory (the heap,
// stacks, GPU buffers in memory), file pages (code and data of libraries, fonts), shared memory.
struct ResidentParts {
  std::size_t anonymous = 0;
  std::size_t file = 0;
  std::size_t shared = 0;
};
ResidentParts residentParts();

// The heap (mallinfo2): bytes handed out and not yet freed, which a leak would grow, and bytes malloc
// holds from the system, in use or free.
struct HeapUse {
  std::size_t inUse = 0;
  std::size_t held = 0;
};
HeapUse heapUse();

// Gives the free heap that malloc holds back to the system (malloc_trim).
void releaseFreeHeap();

// WebKit web processes descended from this process (they run under a sandbox launcher, so they
// are not always its children), found in /proc.
std::size_t ownWebProcessCount();

}  // namespace bench
