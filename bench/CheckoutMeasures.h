#pragma once

// What the checkout benchmarks of both toolkits read off the process and the machine: medians and
// resident size.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

struct CheckoutTiming {
  double toPostMs = 0;        // from the start to the gateway's receipt of the payment post
  double toCompletionMs = 0;  // from the start to the delegate's completion call (the floor's message)
  double toPageLoadMs = 0;    // from the start to the web view's starting to load the form page
  // A checkout's launcher call returning, and its slide: its first frame and its end (none for the
  // floor).
  double toLaunchedMs = 0;
  double toSlideStartMs = 0;
  double toSlideEndMs = 0;
  // CPU time of the app's process (all its threads): from the start to the page load's start, and
  // in the launcher call (none for the floor).
  double cpuToPageLoadMs = 0;
  double cpuLauncherMs = 0;
};

// How a stage's toolkit and gateway are set up.
struct StageSettings {
  std::optional<std::chrono::milliseconds> transition;  // none: the toolkit's default
  bool underSlide = false;                              // the presentation completes as the slide starts
  std::chrono::milliseconds latency{0};                 // the gateway holds each answer this long
};

// The median; the mean of the middle two for an even count. Zero for none.
inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// CPU time this process has used so far, user and system, all threads (getrusage).
double processCpuMilliseconds();

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

}  // namespace bench
