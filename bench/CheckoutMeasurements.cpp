#include "CheckoutMeasurements.h"

#include "CheckoutTimes.h"
#include "ChildRun.h"
#include "OpenPageMemory.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

namespace bench {

namespace {

using namespace std::chrono_literals;

// How long an app runs before its first checkout, in both arms of the prewarm comparison: its
// start-up, and the customer getting to the Pay button. Prewarming that is not done by then is
// waited for (and its time reported).
constexpr auto kStartupIdle = 3s;
constexpr auto kPrewarmPatience = 60s;

std::string megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / (1024 * 1024));
  return text;
}

}  // namespace

void measureCheckoutTimes(int runs, const std::vector<Library>& libraries, const StageSettings& settings) {
  CheckoutStage stage(settings);
  timeAgainstFloor(stage, runs, libraries);
}

void measureResidentGrowth(Library library, int checkouts) {
  if (checkouts < 1) throw std::invalid_argument("at least one checkout");
  CheckoutStage stage;
  for (int done = 1; done <= checkouts; ++done) {
    stage.checkout(library);
    const auto resident = static_cast<double>(residentBytes());
    const auto heap = heapUse();
    if (done == kSettledAfter && checkouts > kSettledAfter) reportResult("rss.settled", resident);
    if (done == 1 || done == checkouts) {
      const std::string when = done == 1 ? ".first" : ".last";
      reportResult("rss" + when, resident);
      reportResult("heap" + when, static_cast<double>(heap.inUse));
    }
    if (done == 1 || done % 10 == 0 || done == checkouts) {
      const auto parts = residentParts();
      reportNote(libraryName(library) + " after " + std::to_string(done) + " checkouts: resident " + megabytes(resident) +
                 " (anonymous " + megabytes(static_cast<double>(parts.anonymous)) + ", file " +
                 megabytes(static_cast<double>(parts.file)) + ", shared " +
                 megabytes(static_cast<double>(parts.shared)) + "); heap in use " +
                 megabytes(static_cast<double>(heap.inUse)) + " of " + megabytes(static_cast<double>(heap.held)) +
                 " held by malloc");
    }
  }
  // How much of the resident size is heap that malloc holds free: it goes back to the system here.
  releaseFreeHeap();
  reportResult("rss.released", static_cast<double>(residentBytes()));
}

void measureFirstCheckout(Library library, bool prewarm, const StageSettings& settings) {
  CheckoutStage stage(settings);
  const auto start = Clock::now();
  bool ready = !prewarm;
  Clock::time_point readyAt = start;
  if (prewarm) {
    stage.toolkit().prewarm([&] {
      ready = true;
      readyAt = Clock::now();
    });
  }
  spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kStartupIdle));
  if (!spinUntil([&] { return ready; }, kPrewarmPatience)) throw std::runtime_error("prewarming never finished");

  const auto timing = stage.checkout(library);
  reportResult("first.post", timing.toPostMs);
  reportResult("first.completion", timing.toCompletionMs);
  reportResult("prewarm.ready", millisecondsBetween(start, readyAt));
}

void measureOpenMemory(Library library, bool floor) {
  CheckoutStage stage;
  spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kStartupIdle));
  const auto whileOpen = [] {
    // Long enough for the page's process to finish what its load started.
    spinFor(1s);
    reportTreeMemory("pss");
  };
  if (floor) {
    stage.floor(library, whileOpen);
  } else {
    stage.checkout(library, whileOpen);
  }
}

void measureAppCheckouts(Library library, int checkouts, const StageSettings& settings) {
  if (checkouts < 1) throw std::invalid_argument("at least one checkout");
  CheckoutStage stage(settings);
  Samples samples;
  for (int done = 1; done <= checkouts; ++done) {
    const auto timing = stage.checkoutDismissedByDelegate(library);
    samples.add(timing);
    reportNote(libraryName(library) + " checkout " + std::to_string(done) + ": " + formatted(timing));
  }
  reportResult("app.pageload", median(samples.pageLoad));
  reportResult("app.post", median(samples.post));
  reportResult("app.completion", median(samples.completion));
  for (const auto& [name, values] : {std::pair{"app.post", &samples.post}, std::pair{"app.completion", &samples.completion}}) {
    reportResult(std::string(name) + ".min", *std::min_element(values->begin(), values->end()));
    reportResult(std::string(name) + ".max", *std::max_element(values->begin(), values->end()));
  }
}

}  // namespace bench
