#pragma once

// A moment a checkout benchmark waits for (a result, a page load's start, a slide's frame), with
// how much CPU the app's process had used by then, and the timing of one run made of them.

#include "CheckoutMeasures.h"

#include "SandboxGateway.h"

namespace bench {

struct Arrival {
  bool arrived = false;
  Clock::time_point at;
  double cpuMs = 0;
  // The first call only: later ones (a second message, a repeated signal) are not the moment.
  void mark() {
    if (arrived) return;
    arrived = true;
    at = Clock::now();
    cpuMs = processCpuMilliseconds();
  }
};

// `start` and `startCpuMs`: when the run began, and the process's CPU time then.
inline CheckoutTiming timingOf(Clock::time_point start, double startCpuMs, const velquor::sandbox::ReceivedRequest& post,
                               const Arrival& result, const Arrival& pageLoad) {
  CheckoutTiming timing;
  timing.toPostMs = millisecondsBetween(start, post.receivedAt);
  timing.toCompletionMs = millisecondsBetween(start, result.at);
  timing.toPageLoadMs = millisecondsBetween(start, pageLoad.at);
  timing.cpuToPageLoadMs = pageLoad.cpuMs - startCpuMs;
  return timing;
}

}  // namespace bench
