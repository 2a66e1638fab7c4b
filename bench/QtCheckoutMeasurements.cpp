#include "QtCheckoutMeasurements.h"

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

// As in the GTK runs: the app's start-up before its first checkout, in both arms.
constexpr auto kStartupIdle = 3s;
constexpr auto kPrewarmPatience = 60s;
// Long enough for an open page's renderer to finish what its load started.
constexpr auto kOpenSettle = 1s;

}  // namespace

void measureQtCheckoutTimes(int runs, const std::vector<Library>& libraries, const StageSettings& settings) {
  QtCheckoutStage stage(settings);
  timeAgainstFloor(stage, runs, libraries);
}

void measureQtResidentGrowth(Library library, int checkouts, bool floor) {
  if (checkouts < 1) throw std::invalid_argument("at least one checkout");
  QtCheckoutStage stage;
  for (int done = 1; done <= checkouts; ++done) {
    if (floor) {
      stage.floor(library);
    } else {
      stage.checkout(library);
    }
    if (done == 1 || done == checkouts) {
      const std::string when = done == 1 ? ".first" : ".last";
      reportResult("rss" + when, static_cast<double>(residentBytes()));
      reportResult("heap" + when, static_cast<double>(heapUse().inUse));
    }
  }
  releaseFreeHeap();
  reportResult("rss.released", static_cast<double>(residentBytes()));
}

void measureQtFirstCheckout(Library library, bool prewarm, const StageSettings& settings) {
  QtCheckoutStage stage(settings);
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

void measureQtOpenMemory(Library library, bool floor) {
  QtCheckoutStage stage;
  spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kStartupIdle));
  const auto whileOpen = [] {
    spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kOpenSettle));
    reportTreeMemory("pss");
  };
  if (floor) {
    stage.floor(library, whileOpen);
  } else {
    stage.checkout(library, whileOpen);
  }
}

void measureQtPrewarmIdleCost() {
  QtCheckoutStage stage;
  spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kStartupIdle));
  reportTreeMemory("pss.before");
  const auto start = Clock::now();
  bool ready = false;
  stage.toolkit().prewarm([&] { ready = true; });
  if (!spinUntil([&] { return ready; }, kPrewarmPatience)) throw std::runtime_error("prewarming never finished");
  reportResult("prewarm.ready", millisecondsBetween(start, Clock::now()));
  spinFor(std::chrono::duration_cast<std::chrono::milliseconds>(kStartupIdle));
  reportTreeMemory("pss.after");
}

void measureQtAppCheckouts(Library library, int checkouts) {
  if (checkouts < 1) throw std::invalid_argument("at least one checkout");
  QtCheckoutStage stage;
  Samples samples;
  for (int done = 1; done <= checkouts; ++done) {
    const auto timing = stage.checkout(library);
    samples.add(timing);
    reportNote(libraryName(library) + " checkout " + std::to_string(done) + ": " + formatted(timing));
  }
  for (const auto& [name, values] : {std::pair{"app.post", &samples.post}, std::pair{"app.completion", &samples.completion}}) {
    reportResult(name, median(*values));
    reportResult(std::string(name) + ".min", *std::min_element(values->begin(), values->end()));
    reportResult(std::string(name) + ".max", *std::max_element(values->begin(), values->end()));
  }
}

}  // namespace bench
