#pragma once

// The timing loop both toolkits' measuring runs share: checkouts against their floor, and what a
// run reports of them.

#include "CheckoutMeasures.h"
#include "ChildRun.h"

#include <CheckoutLibraryNames.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Samples {
  std::vector<double> post;
  std::vector<double> completion;
  std::vector<double> pageLoad;
  std::vector<double> launched;
  std::vector<double> slideStart;
  std::vector<double> slideEnd;
  std::vector<double> cpuPageLoad;
  std::vector<double> cpuLauncher;
  void add(const CheckoutTiming& timing) {
    pageLoad.push_back(timing.toPageLoadMs);
    post.push_back(timing.toPostMs);
    completion.push_back(timing.toCompletionMs);
    launched.push_back(timing.toLaunchedMs);
    slideStart.push_back(timing.toSlideStartMs);
    slideEnd.push_back(timing.toSlideEndMs);
    cpuPageLoad.push_back(timing.cpuToPageLoadMs);
    cpuLauncher.push_back(timing.cpuLauncherMs);
  }
  // "<name>.<post|completion|pageload|launched|slidestart|slideend|cpupageload|cpulauncher>", medians.
  void report(const std::string& name) const {
    reportResult(name + ".post", median(post));
    reportResult(name + ".completion", median(completion));
    reportResult(name + ".pageload", median(pageLoad));
    reportResult(name + ".launched", median(launched));
    reportResult(name + ".slidestart", median(slideStart));
    reportResult(name + ".slideend", median(slideEnd));
    reportResult(name + ".cpupageload", median(cpuPageLoad));
    reportResult(name + ".cpulauncher", median(cpuLauncher));
  }
};

inline std::string formatted(const CheckoutTiming& timing) {
  char text[200];
  std::snprintf(text, sizeof text,
                "launched %.1f, slide %.1f-%.1f, page load %.1f, POST %.1f, completion %.1f ms; CPU to the page load "
                "%.1f ms",
                timing.toLaunchedMs, timing.toSlideStartMs, timing.toSlideEndMs, timing.toPageLoadMs, timing.toPostMs,
                timing.toCompletionMs, timing.cpuToPageLoadMs);
  return text;
}

// `runs` checkouts per library and as many floor runs, interleaved, after one uncounted warm-up of
// each (it pays for what any first web view pays once per process).
template <class Stage>
void timeAgainstFloor(Stage& stage, int runs, const std::vector<velquor::adapter::Library>& libraries) {
  using velquor::adapter::libraryName;
  for (const auto library : libraries) {
    stage.checkout(library);
    stage.floor(library);
  }
  std::map<std::string, Samples> samples;
  for (int run = 0; run < runs; ++run) {
    for (std::size_t index = 0; index < libraries.size(); ++index) {
      const auto library = libraries[index];
      // Alternating which goes first, so that a trend in the machine's load weighs on both alike.
      const bool checkoutFirst = (static_cast<std::size_t>(run) + index) % 2 == 0;
      CheckoutTiming checkout;
      CheckoutTiming floor;
      if (checkoutFirst) {
        checkout = stage.checkout(library);
        floor = stage.floor(library);
      } else {
        floor = stage.floor(library);
        checkout = stage.checkout(library);
      }
      samples[libraryName(library) + ".checkout"].add(checkout);
      samples[libraryName(library) + ".floor"].add(floor);
      reportNote(libraryName(library) + " run " + std::to_string(run + 1) + ": checkout " + formatted(checkout) +
                 ", floor " + formatted(floor));
    }
  }
  for (const auto& [name, values] : samples) values.report(name);
}

}  // namespace bench
