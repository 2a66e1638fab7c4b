// The real checkout, timed against its floor: each library's checkout on the GTK toolkit against
// a bare WebKitGTK web view doing the same work in the same process; resident size over many
// checkouts; and the first checkout of a fresh process with and without prewarm(). Needs a display
// (bench/run starts a virtual one). Prints every figure as "ratio / measured / target", like
// velquor_bench, and exits with 1 when one misses its target.
//
//   velquor_checkout_bench [--runs 20] [--memory-checkouts 50] [--fresh-runs 7]
//                          [--libraries kit,classic] [--skip timing|memory|prewarm]... [--verbose]
//                          [--transition-ms N]   (time checkouts that slide in over N ms)
//                          [--pss-rounds N]      (also weigh one open checkout and one bare web view
//                                                 with their processes, N fresh processes each; no target)
//                          [--app-checkouts N]   (also time N checkouts per library run back to back,
//                                                 each dismissed from its delegate call; no target)

#include "CheckoutMeasurements.h"
#include "BenchOptions.h"
#include "ChildRun.h"
#include "OpenPageMemory.h"
#include "RatioTable.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr double kCheckoutRatioTarget = 1.10;
constexpr double kResidentGrowthTargetMB = 5;
// "At least 30% less" time to the first post.
constexpr double kPrewarmRatioTarget = 0.70;

using Options = BenchOptions;

int runChildMode(const Options& options) {
  if (!gtk_init_check()) throw std::runtime_error("no display; run under xvfb-run -a (bench/run does)");
  if (options.child == "timing") {
    std::optional<std::chrono::milliseconds> transition;
    if (options.transitionMs) transition = std::chrono::milliseconds(*options.transitionMs);
    measureCheckoutTimes(options.runs, options.libraries, transition);
  } else if (options.child == "memory" && options.library) {
    measureResidentGrowth(*options.library, options.memoryCheckouts);
  } else if (options.child == "first" && options.library) {
    measureFirstCheckout(*options.library, options.prewarm);
  } else if (options.child == "open" && options.library) {
    measureOpenMemory(*options.library, options.floor);
  } else if (options.child == "app" && options.library) {
    std::optional<std::chrono::milliseconds> transition;
    if (options.transitionMs) transition = std::chrono::milliseconds(*options.transitionMs);
    measureAppCheckouts(*options.library, options.appCheckouts, transition);
  } else {
    throw std::invalid_argument("unknown measuring run: " + options.child);
  }
  return 0;
}

void showNotes(const ChildReport& report, bool verbose) {
  if (!verbose) return;
  for (const auto& note : report.notes) std::printf("  %s\n", note.c_str());
}

void timeCheckouts(const Options& options, RatioTable& table) {
  std::string libraries;
  for (const auto library : options.libraries) {
    if (!libraries.empty()) libraries += ',';
    libraries += libraryName(library);
  }
  std::printf("Checkout vs bare web view: %d runs each after one warm-up, interleaved, one process...\n", options.runs);
  std::fflush(stdout);
  std::vector<std::string> arguments{"--child",     "timing", "--runs", std::to_string(options.runs),
                                     "--libraries", libraries};
  if (options.transitionMs) {
    std::printf("  (the toolkit slides checkouts in over %d ms instead of its default)\n", *options.transitionMs);
    arguments.insert(arguments.end(), {"--transition-ms", std::to_string(*options.transitionMs)});
  }
  const auto report = runChild(arguments);
  showNotes(report, options.verbose);
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    const std::string key = libraryName(library);
    std::printf("  %-15s page load starts after (median): checkout %8.1f ms, bare web view %8.1f ms\n", name.c_str(),
                result(report, key + ".checkout.pageload"), result(report, key + ".floor.pageload"));
    for (const std::string stage : {"post", "completion"}) {
      const double checkout = result(report, key + ".checkout." + stage);
      const double floor = result(report, key + ".floor." + stage);
      std::printf("  %-15s to %-10s median: checkout %8.1f ms, bare web view %8.1f ms\n", name.c_str(), stage.c_str(),
                  checkout, floor);
      table.add(
          name + " checkout to " + (stage == "post" ? "gateway POST" : "delegate completion") + " / bare web view",
          checkout / floor, kCheckoutRatioTarget);
    }
  }
}

void measureMemory(const Options& options, RatioTable& table) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("Resident size, %s, %d sequential checkouts in a fresh process...\n", name.c_str(),
                options.memoryCheckouts);
    std::fflush(stdout);
    const auto report = runChild({"--child", "memory", "--library", libraryName(library), "--memory-checkouts",
                                  std::to_string(options.memoryCheckouts)});
    showNotes(report, options.verbose);
    const double first = result(report, "rss.first") / (1024 * 1024);
    const double last = result(report, "rss.last") / (1024 * 1024);
    const double heapFirst = result(report, "heap.first") / (1024 * 1024);
    const double heapLast = result(report, "heap.last") / (1024 * 1024);
    const double released = result(report, "rss.released") / (1024 * 1024);
    std::printf(
        "  %-15s resident after 1: %.1f MB, after %d: %.1f MB (%.1f MB once malloc returns its free heap);\n"
        "  %-15s heap in use after 1: %.1f MB, after %d: %.1f MB (growth %.2f MB)\n",
        name.c_str(), first, options.memoryCheckouts, last, released, "", heapFirst, options.memoryCheckouts, heapLast,
        heapLast - heapFirst);
    table.add(name + " resident growth, 1 -> " + std::to_string(options.memoryCheckouts) + " checkouts (MB)",
              last - first, kResidentGrowthTargetMB);
  }
}

void comparePrewarm(const Options& options, RatioTable& table) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("First checkout, %s, %d fresh processes with prewarm() and %d without, alternating...\n", name.c_str(),
                options.freshRuns, options.freshRuns);
    std::fflush(stdout);
    std::vector<double> cold;
    std::vector<double> coldCompletion;
    std::vector<double> warm;
    std::vector<double> warmCompletion;
    std::vector<double> readiness;
    for (int run = 0; run < options.freshRuns; ++run) {
      for (const bool prewarm : {run % 2 == 0, run % 2 != 0}) {
        std::vector<std::string> arguments{"--child", "first", "--library", libraryName(library)};
        if (prewarm) arguments.push_back("--prewarm");
        const auto report = runChild(arguments);
        (prewarm ? warm : cold).push_back(result(report, "first.post"));
        (prewarm ? warmCompletion : coldCompletion).push_back(result(report, "first.completion"));
        if (prewarm) readiness.push_back(result(report, "prewarm.ready"));
        if (options.verbose) {
          std::printf("  run %d %-12s first POST %8.1f ms, completion %8.1f ms\n", run + 1,
                      prewarm ? "prewarmed" : "not", result(report, "first.post"), result(report, "first.completion"));
        }
      }
    }
    std::printf(
        "  %-15s first POST median: %.1f ms prewarmed, %.1f ms not; completion %.1f / %.1f ms; "
        "prewarm ready after %.1f ms\n",
        name.c_str(), median(warm), median(cold), median(warmCompletion), median(coldCompletion), median(readiness));
    table.add(name + " first checkout to POST, prewarmed / not", median(warm) / median(cold), kPrewarmRatioTarget);
  }
}

// Not a check: where the time of a checkout goes when an app runs them one after another.
void timeAppCheckouts(const Options& options) {
  for (const auto library : options.libraries) {
    const std::string name = moduleName(library);
    std::printf("Checkouts back to back, %s, %d in a fresh process, each dismissed from its delegate call...\n",
                name.c_str(), options.appCheckouts);
    std::fflush(stdout);
    std::vector<std::string> arguments{"--child", "app", "--library", libraryName(library), "--app-checkouts",
                                       std::to_string(options.appCheckouts)};
    if (options.transitionMs) arguments.insert(arguments.end(), {"--transition-ms", std::to_string(*options.transitionMs)});
    const auto report = runChild(arguments);
    showNotes(report, options.verbose);
    std::printf("  %-15s from the launcher call (median): payment start %8.1f ms, gateway POST %8.1f ms, delegate call %8.1f ms\n",
                name.c_str(), result(report, "app.pageload"), result(report, "app.post"), result(report, "app.completion"));
    std::printf("  %-15s ranges: gateway POST %.1f-%.1f ms, delegate call %.1f-%.1f ms\n", "",
                result(report, "app.post.min"), result(report, "app.post.max"), result(report, "app.completion.min"),
                result(report, "app.completion.max"));
  }
}

std::string cpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  }
  return "unknown CPU";
}

std::string loadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

int orchestrate(const Options& options) {
  std::printf("velquor_checkout_bench: %ld CPUs (%s), WebKitGTK %u.%u.%u, load average %s\n",
              sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str(), webkit_get_major_version(), webkit_get_minor_version(),
              webkit_get_micro_version(), loadAverage().c_str());
  RatioTable table;
  // Fresh processes first, while nothing else of the benchmark runs.
  if (!options.skipped.contains("prewarm")) comparePrewarm(options, table);
  if (!options.skipped.contains("timing")) timeCheckouts(options, table);
  if (!options.skipped.contains("memory")) measureMemory(options, table);
  if (options.appCheckouts > 0) timeAppCheckouts(options);
  // Not a check, and opt-in: what one open checkout weighs with its processes.
  if (options.pssRounds > 0) compareOpenPageMemory(options.libraries, options.pssRounds);
  std::printf("load average at the end: %s\n", loadAverage().c_str());
  return table.print() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto options = parseBenchOptions(argc, argv);
    return options.child.empty() ? orchestrate(options) : runChildMode(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velquor_checkout_bench: %s\n", error.what());
    return 2;
  }
}
